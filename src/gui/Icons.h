// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

namespace logwarden::gui {

// The window's icon images, loaded once so that swapping them every few
// hundred milliseconds costs no rasterising: 0 the program's own icon, 1 the lit bulb, 2 the
// unlit bulb. Any other index gives the program's icon. Needs a running QGuiApplication.
const QIcon& windowIconImage(int index);

} // namespace logwarden::gui
