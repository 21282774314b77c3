// SPDX-License-Identifier: MIT
#pragma once

#include "settings/AppSettings.h"
#include "ui/Menu.h"
#include "ui/TextBox.h"

#include <optional>
#include <vector>

// The option groups of the Options menu as laid out: item indices, captions, design check marks.
namespace logwarden::settings {

std::vector<ui::MenuArray::Entry> lineCountItems();
std::vector<ui::MenuArray::Entry> bufferSizeItems();
std::vector<ui::MenuArray::Entry> backgroundItems();
std::vector<ui::MenuArray::Entry> textColorItems();
std::vector<ui::MenuArray::Entry> textSizeItems();

// Colours are found through an item's caption; "黄色" differs between the two groups.
std::optional<ui::Color> backgroundColor(const QString& caption);
std::optional<ui::Color> textColor(const QString& caption);

// Stores the choice in its field and moves the check mark. An index that names no item (only an
// edited settings file can hold one) falls back to the item a fresh start checks, which is the
// index returned.
int chooseOption(ui::MenuArray& group, AppSettings& settings, short AppSettings::*field, int index);

} // namespace logwarden::settings
