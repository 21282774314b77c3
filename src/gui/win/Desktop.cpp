// SPDX-License-Identifier: MIT
#include "gui/win/Desktop.h"

#include <windows.h>

namespace logwarden::gui::win {

void setTopmost(const QWindow& window, bool topmost) {
    const UINT shown = window.isVisible() ? SWP_SHOWWINDOW : 0;
    ::SetWindowPos(reinterpret_cast<HWND>(window.winId()), topmost ? HWND_TOPMOST : HWND_NOTOPMOST,
                   0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | shown);
}

bool isTopmost(const QWindow& window) {
    const LONG_PTR style = ::GetWindowLongPtrW(reinterpret_cast<HWND>(window.winId()), GWL_EXSTYLE);
    return (style & WS_EX_TOPMOST) != 0;
}

} // namespace logwarden::gui::win
