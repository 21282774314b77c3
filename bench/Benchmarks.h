// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace bench {

// Write their log files into `dir` and register the figures; false when a file cannot be made.
bool registerTailBenchmarks(const QString& dir, bool smoke);
bool registerRenderBenchmarks(const QString& dir);
// These need a real window: a display, not the offscreen platform.
bool registerWindowBenchmarks(const QString& dir);

} // namespace bench
