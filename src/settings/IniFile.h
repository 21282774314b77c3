// SPDX-License-Identifier: MIT
#pragma once

#include "settings/AppSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <system_error>

// The settings file "Logwarden.ini" in the current directory.
namespace logwarden::settings::modIniFile {

inline constexpr const char* FileName = "Logwarden.ini";
// The longest file the saver writes is about 41 KB (ten paths of the longest a path can be);
// the loader reads no further than this, so a huge file in the start folder cannot hold the
// window back.
inline constexpr qsizetype MaxFileBytes = qsizetype{64} * 1024;

void SetDefaultSettings(AppSettings& settings);

// Reset values first, then whatever the file supplies. A missing, unreadable or garbled file
// leaves the reset values standing; the reason why a file that is there could not be read
// (timed_out for one that did not come in time) is returned.
std::error_code LoadIniFile(AppSettings& settings);

// Replaces the file whole (see platform::writeWholeFile); the system's reason when it cannot.
std::error_code SaveIniFile(const AppSettings& settings);

// Lays the settings text over `settings`, leniently: keys in any case and order, unknown lines
// dropped, values that do not read keep the field.
void readSettings(QByteArrayView text, AppSettings& settings);

// The whole file as the saver writes it: 51 lines, each ending in CR LF, in the system code page.
QByteArray settingsText(const AppSettings& settings);

} // namespace logwarden::settings::modIniFile
