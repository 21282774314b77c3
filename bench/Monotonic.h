// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>

namespace bench {

// CLOCK_MONOTONIC in nanoseconds: one clock for every process on the machine, so a moment a
// probe prints can be set against one its runner took.
inline std::int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

} // namespace bench
