// SPDX-License-Identifier: MIT
#pragma once

#include "core/modGlobal.h"

#include <QByteArray>

class QIODevice;

// The settings file "Logwarden.ini" in the current directory.
namespace modIniFile {

inline constexpr const char* FileName = "Logwarden.ini";

void SetDefaultSettings(AppSettings& settings);

// Reset values first, then whatever the file supplies. A missing, unreadable or garbled file
// leaves the reset values standing.
void LoadIniFile(AppSettings& settings);

// Replaces the file whole, or leaves the old one untouched when it cannot be written; never
// leaves a torn file. Returns whether the file now holds `settings`.
bool SaveIniFile(const AppSettings& settings);

// Lays the settings text read from `in` over `settings`, leniently: keys in any case and order,
// unknown lines dropped, values that do not read keep the field.
void readSettings(QIODevice& in, AppSettings& settings);

// The whole file as the saver writes it: 51 lines, each ending in CR LF, in the system code page.
QByteArray settingsText(const AppSettings& settings);

} // namespace modIniFile
