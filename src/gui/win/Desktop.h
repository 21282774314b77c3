// SPDX-License-Identifier: MIT
#pragma once

#include <QWindow>

// What only the Windows desktop has.
namespace logwarden::gui::win {

// Puts the window above all others, or takes it back among them, without moving, resizing or
// activating it: SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST.
void setTopmost(const QWindow& window, bool topmost);

// Whether the system keeps the window above all others.
bool isTopmost(const QWindow& window);

} // namespace logwarden::gui::win
