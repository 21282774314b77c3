// SPDX-License-Identifier: MIT
#pragma once

class PlatformPort;

namespace modWindowForward {

// Keeps the window above all others, or takes it back among them, without moving or resizing it.
void SetWindowForward(PlatformPort& port, bool topmost);

} // namespace modWindowForward
