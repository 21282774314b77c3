// SPDX-License-Identifier: MIT
#include "gui/MenuBinding.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace logwarden::gui {

namespace {

void fillMenu(QMenu& menu, const ui::MenuItem& parent);

// A check mark shows only while set, as on a classic menu item.
void syncAction(QAction& action, const ui::MenuItem& item) {
    action.setText(item.caption());
    action.setEnabled(item.enabled());
    action.setVisible(item.visible());
    action.setCheckable(item.checked());
    action.setChecked(item.checked());
}

void addItem(QMenu& menu, ui::MenuItem& item, const std::function<void()>& click) {
    if (item.isSeparator()) {
        QAction* separator = menu.addSeparator();
        item.observe([separator, &item] { separator->setVisible(item.visible()); });
        return;
    }
    if (!item.children().empty()) {
        QMenu* submenu = menu.addMenu(item.caption());
        fillMenu(*submenu, item);
        QAction* action = submenu->menuAction();
        item.observe([action, &item] {
            action->setText(item.caption());
            action->setEnabled(item.enabled());
            action->setVisible(item.visible());
        });
        return;
    }
    auto* action = menu.addAction(item.caption());
    if (!item.shortcut().isEmpty()) {
        action->setShortcut(QKeySequence(item.shortcut()));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    syncAction(*action, item);
    item.observe([action, &item] { syncAction(*action, item); });
    QObject::connect(action, &QAction::triggered, action, [action, &item, click] {
        click();
        syncAction(*action, item); // Qt toggled the mark itself; the handler decides
    });
}

void addArray(QMenu& menu, ui::MenuArray& array) {
    for (const int index : array.indices()) {
        addItem(menu, array[index], [&array, index] { array.click(index); });
    }
}

void fillMenu(QMenu& menu, const ui::MenuItem& parent) {
    menu.clear();
    for (const ui::MenuChild& child : parent.children()) {
        if (auto* const* item = std::get_if<ui::MenuItem*>(&child)) {
            addItem(menu, **item, [item = *item] { item->click(); });
        } else {
            ui::MenuArray& array = *std::get<ui::MenuArray*>(child);
            addArray(menu, array);
            // Items added at run time: rebuild this menu with them.
            array.observe([&menu, &parent] { fillMenu(menu, parent); });
        }
    }
}

} // namespace

void bindMenuBar(QMenuBar& bar, const std::vector<ui::MenuItem*>& menus) {
    for (ui::MenuItem* top : menus) {
        QMenu* menu = bar.addMenu(top->caption());
        fillMenu(*menu, *top);
    }
}

void unbindMenus(const std::vector<ui::MenuItem*>& menus) {
    for (ui::MenuItem* item : menus) {
        item->observe({});
        std::vector<ui::MenuItem*> children;
        for (const ui::MenuChild& child : item->children()) {
            if (auto* const* sub = std::get_if<ui::MenuItem*>(&child)) {
                children.push_back(*sub);
            } else {
                ui::MenuArray& array = *std::get<ui::MenuArray*>(child);
                array.observe({});
                for (const int index : array.indices()) {
                    children.push_back(&array[index]);
                }
            }
        }
        unbindMenus(children);
    }
}

} // namespace logwarden::gui
