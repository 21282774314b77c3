// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Menu.h"

#include <vector>

class QMenu;
class QMenuBar;

namespace logwarden::gui {

// Builds the menu bar from the menu models and keeps each QAction in line with its item.
void bindMenuBar(QMenuBar& bar, const std::vector<ui::MenuItem*>& menus);

// Stops the menu models from calling into actions that are gone with their window.
void unbindMenus(const std::vector<ui::MenuItem*>& menus);

} // namespace logwarden::gui
