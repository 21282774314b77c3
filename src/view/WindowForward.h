// SPDX-License-Identifier: MIT
#pragma once

namespace logwarden::platform {
class PlatformPort;
}

namespace logwarden::view::modWindowForward {

// Keeps the window above all others, or takes it back among them, without moving or resizing it.
void SetWindowForward(platform::PlatformPort& port, bool topmost);

} // namespace logwarden::view::modWindowForward
