// SPDX-License-Identifier: MIT
#pragma once

#include "settings/WatchRules.h"

#include <QByteArray>
#include <QByteArrayView>
#include <system_error>

// The settings beyond the classic window's, in a file of their own beside "Logwarden.ini", so
// that a copy of the program that knows only that file finds it as it left it.
namespace logwarden::settings {

inline constexpr const char* WatchFileName = "LogwardenWatch.ini";
inline constexpr qsizetype MaxWatchFileBytes = qsizetype{256} * 1024;

// Everything off, and the default rules: the classic window.
struct WatchSettings {
    bool extractWholeWindow = false; // extraction finds the last matching lines of the read window
    bool extractIgnoreCase = false;
    bool extractIgnoreWidth = false;
    bool extractIgnoreKana = false;
    bool followOnOpen = false; // a file opened by any route is monitored at once
    QList<WatchRule> rules = defaultRules();
    friend bool operator==(const WatchSettings&, const WatchSettings&) = default;
};

// Lays the file's text over `settings`, leniently: sections and keys in any case, unknown lines
// dropped, values that do not read keep the field. Rules are checked where they are applied.
// A text with a section of its own replaces the rule list by its [rule] sections.
void readWatchText(QByteArrayView text, WatchSettings& settings);

// The whole file: UTF-8, each line ending in CR LF.
QByteArray watchText(const WatchSettings& settings);

// The defaults, then the file, when there is one. A file that is there but cannot be read
// leaves the rules empty, and gives the system's reason (timed_out for one that did not come
// in time).
std::error_code loadWatchSettings(WatchSettings& settings);

// Replaces the file whole (platform::writeWholeFile); the system's reason when it cannot.
std::error_code saveWatchSettings(const WatchSettings& settings);

} // namespace logwarden::settings
