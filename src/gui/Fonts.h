// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

namespace logwarden::gui {

// The window's Japanese monospace face at the given size: the classic Windows face where it
// exists, otherwise a CJK monospace face, so Japanese text never shows as empty boxes.
QFont windowFont(int pointSize);

} // namespace logwarden::gui
