// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Control.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace logwarden::ui {

class MenuArray;
class MenuItem;

// A child of a menu: a single item (a separator is an item captioned "-") or a control array
// whose items are told apart by index.
using MenuChild = std::variant<MenuItem*, MenuArray*>;

struct MenuItemDesign {
    MenuItemDesign(QString caption, QString shortcut = {}, bool checked = false,
                   bool enabled = true)
        : caption(std::move(caption)), shortcut(std::move(shortcut)), checked(checked),
          enabled(enabled) {}

    QString caption;
    QString shortcut; // portable text form, e.g. "Ctrl+S", "F4"
    bool checked = false;
    bool enabled = true;
};

class MenuItem : public Control {
public:
    explicit MenuItem(MenuItemDesign design)
        : mCaption(std::move(design.caption)), mShortcut(std::move(design.shortcut)),
          mChecked(design.checked), mEnabled(design.enabled) {}

    const QString& caption() const { return mCaption; }
    void setCaption(const QString& caption) { assign(mCaption, caption); }
    const QString& shortcut() const { return mShortcut; }
    bool checked() const { return mChecked; }
    void setChecked(bool checked) { assign(mChecked, checked); }
    bool enabled() const { return mEnabled; }
    void setEnabled(bool enabled) { assign(mEnabled, enabled); }
    bool visible() const { return mVisible; }
    void setVisible(bool visible) { assign(mVisible, visible); }
    bool isSeparator() const { return mCaption == QLatin1String("-"); }

    const std::vector<MenuChild>& children() const { return mChildren; }
    void setChildren(std::vector<MenuChild> children) { mChildren = std::move(children); }

    void setHandler(std::function<void()> handler) { mHandler = std::move(handler); }
    // What a user's choice does; a disabled item cannot be chosen.
    void click() const {
        if (mEnabled && mHandler) {
            mHandler();
        }
    }

private:
    QString mCaption;
    QString mShortcut;
    bool mChecked;
    bool mEnabled;
    bool mVisible = true;
    std::vector<MenuChild> mChildren;
    std::function<void()> mHandler;
};

// A menu control array: items created at design time or at run time, keyed by their index,
// all answered by one handler that receives the index.
class MenuArray : public Control {
public:
    struct Entry {
        int index;
        MenuItemDesign design;
    };

    explicit MenuArray(const std::vector<Entry>& entries) {
        for (const Entry& entry : entries) {
            insert(entry.index, entry.design);
        }
    }

    // Items in index order.
    std::vector<int> indices() const {
        std::vector<int> result;
        for (const auto& [index, item] : mItems) {
            result.push_back(index);
        }
        return result;
    }
    bool contains(int index) const { return mItems.contains(index); }
    MenuItem& operator[](int index) { return *mItems.at(index); }
    const MenuItem& operator[](int index) const { return *mItems.at(index); }
    std::size_t size() const { return mItems.size(); }

    // Adds items at run time; the binding rebuilds the array's menu entries once.
    void add(const std::vector<Entry>& entries) {
        for (const Entry& entry : entries) {
            insert(entry.index, entry.design);
        }
        changed();
    }

    void setHandler(std::function<void(int)> handler) { mHandler = std::move(handler); }
    void click(int index) const {
        const auto it = mItems.find(index);
        if (it != mItems.end() && it->second->enabled() && mHandler) {
            mHandler(index);
        }
    }

    // Clears every check mark, then checks the item with the given index, if there is one.
    void checkOnly(int index) {
        for (auto& [i, item] : mItems) {
            item->setChecked(false);
        }
        if (contains(index)) {
            (*this)[index].setChecked(true);
        }
    }
    // The index of the first checked item in index order, or none.
    std::optional<int> firstChecked() const {
        for (const auto& [index, item] : mItems) {
            if (item->checked()) {
                return index;
            }
        }
        return std::nullopt;
    }

private:
    void insert(int index, const MenuItemDesign& design) {
        mItems.emplace(index, std::make_unique<MenuItem>(design));
    }

    std::map<int, std::unique_ptr<MenuItem>> mItems;
    std::function<void(int)> mHandler;
};

} // namespace logwarden::ui
