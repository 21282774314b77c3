// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <chrono>

// A file time with the file system's full precision; the change test compares it exactly.
using DateTime = std::chrono::sys_time<std::chrono::nanoseconds>;

// Midnight of the given day, local time.
DateTime localDate(int year, int month, int day);
// "yyyy/mm/dd hh:mm:ss" in local time, to the second.
QString formatDateTime(DateTime time);
