// SPDX-License-Identifier: MIT
#include "view/WindowForward.h"

#include "platform/PlatformPort.h"

namespace logwarden::view::modWindowForward {

void SetWindowForward(platform::PlatformPort& port, bool topmost) {
    port.setWindowForward(topmost);
}

} // namespace logwarden::view::modWindowForward
