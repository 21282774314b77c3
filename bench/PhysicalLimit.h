// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>

// The least the system lets a tail read or a poll cost, written straight on the system calls,
// to stand beside the program's own figures.
namespace bench {

// stat, open, one pread of the window, a backward scan for `lineCount` line feeds, close, and
// the shown bytes decoded. `buffer` must hold `bufferKiB` KiB plus one byte.
QString limitRefresh(const char* path, std::int32_t lineCount, std::int64_t bufferKiB,
                     char* buffer);

// One stat.
std::int64_t limitPoll(const char* path);

} // namespace bench
