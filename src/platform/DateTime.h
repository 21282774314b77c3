// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>

namespace logwarden::platform {

// A file time with the file system's full precision; the change test compares it exactly.
// Whole seconds and nanoseconds apart, so that any time a file system can hold fits (nanoseconds
// alone would overflow outside 1677 to 2262).
struct DateTime {
    std::int64_t seconds = 0; // since 1970-01-01 00:00:00 UTC
    std::int32_t nanoseconds = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Midnight of the given day, local time.
DateTime localDate(int year, int month, int day);
// "yyyy/mm/dd hh:mm:ss" in local time, to the second.
QString formatDateTime(DateTime time);

} // namespace logwarden::platform
