// SPDX-License-Identifier: MIT
#pragma once

#include <QWindow>
#include <optional>

// What the window manager says of a window kept above the others, on X11: whether it still
// keeps it there (nothing elsewhere), and asking it to again.
namespace logwarden::gui::x11 {

std::optional<bool> isKeptAbove(const QWindow& window);
void keepAbove(const QWindow& window);

} // namespace logwarden::gui::x11
