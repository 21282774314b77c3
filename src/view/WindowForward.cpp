// SPDX-License-Identifier: MIT
#include "view/WindowForward.h"

#include "platform/PlatformPort.h"

namespace modWindowForward {

void SetWindowForward(PlatformPort& port, bool topmost) {
    port.setWindowForward(topmost);
}

} // namespace modWindowForward
