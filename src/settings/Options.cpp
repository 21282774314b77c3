// SPDX-License-Identifier: MIT
#include "settings/Options.h"

#include "settings/IniFile.h"

#include <algorithm>
#include <array>

namespace logwarden::settings {
namespace {

struct ColorItem {
    int index;
    const char16_t* caption;
    ui::Color color;
};

constexpr std::array backgrounds{
    ColorItem{1, u"白色", {255, 255, 255}}, ColorItem{2, u"黒色", {0, 0, 0}},
    ColorItem{3, u"水色", {192, 255, 255}}, ColorItem{4, u"黄色", {255, 255, 128}},
    ColorItem{5, u"灰色", {192, 192, 192}},
};

constexpr std::array textColors{
    ColorItem{1, u"黒色", {0, 0, 0}},     ColorItem{2, u"白色", {255, 255, 255}},
    ColorItem{3, u"赤色", {255, 0, 0}},   ColorItem{4, u"緑色", {0, 255, 0}},
    ColorItem{5, u"黄色", {255, 255, 0}}, ColorItem{6, u"灰色", {192, 192, 192}},
};

template <std::size_t N>
std::vector<ui::MenuArray::Entry> colorItems(const std::array<ColorItem, N>& table) {
    std::vector<ui::MenuArray::Entry> items;
    items.reserve(N);
    for (const ColorItem& item : table) {
        items.push_back({item.index, {QString::fromUtf16(item.caption), {}, item.index == 1}});
    }
    return items;
}

template <std::size_t N>
std::optional<ui::Color> colorOf(const std::array<ColorItem, N>& table, const QString& caption) {
    const auto it = std::find_if(table.begin(), table.end(), [&](const ColorItem& item) {
        return caption == QString::fromUtf16(item.caption);
    });
    return it == table.end() ? std::nullopt : std::optional(it->color);
}

// Items whose caption is their value with a suffix, checked at `designIndex`.
std::vector<ui::MenuArray::Entry> valueItems(std::initializer_list<int> indices, int factor,
                                             int width, const QString& suffix, int designIndex) {
    std::vector<ui::MenuArray::Entry> items;
    for (const int index : indices) {
        const QString caption = QStringLiteral("%1").arg(index * factor, width) + suffix;
        items.push_back({index, {caption, {}, index == designIndex}});
    }
    return items;
}

} // namespace

std::vector<ui::MenuArray::Entry> lineCountItems() {
    return valueItems({1, 2, 3, 4, 5, 10, 20}, 10, 0, QStringLiteral("行"), 1);
}

std::vector<ui::MenuArray::Entry> bufferSizeItems() {
    // The short captions begin with a blank so that the sizes line up.
    return valueItems({1, 2, 3, 4, 8}, 25, 3, QStringLiteral("KB"), 1);
}

std::vector<ui::MenuArray::Entry> backgroundItems() {
    return colorItems(backgrounds);
}

std::vector<ui::MenuArray::Entry> textColorItems() {
    return colorItems(textColors);
}

std::vector<ui::MenuArray::Entry> textSizeItems() {
    return valueItems({6, 8, 9, 10, 11, 12, 15, 20}, 1, 0, {}, 9);
}

std::optional<ui::Color> backgroundColor(const QString& caption) {
    return colorOf(backgrounds, caption);
}

std::optional<ui::Color> textColor(const QString& caption) {
    return colorOf(textColors, caption);
}

int chooseOption(ui::MenuArray& group, AppSettings& settings, short AppSettings::*field,
                 int index) {
    AppSettings reset;
    modIniFile::SetDefaultSettings(reset);
    const int chosen = group.contains(index) ? index : reset.*field;
    settings.*field = static_cast<short>(chosen);
    group.checkOnly(chosen);
    return chosen;
}

} // namespace logwarden::settings
