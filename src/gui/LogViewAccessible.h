// SPDX-License-Identifier: MIT
#pragma once

namespace logwarden::gui {

// Lets screen readers read the log view, as they read the stock text controls: its text, its
// characters, words and lines, the selection and the caret. Once for the process.
void installLogViewAccessibility();

} // namespace logwarden::gui
