#pragma once

#include "core/modGlobal.h"

// The settings file "Logwarden.ini" in the current directory.
namespace modIniFile {

inline constexpr const char* FileName = "Logwarden.ini";

void SetDefaultSettings(AppSettings& settings);
void LoadIniFile(AppSettings& settings);
void SaveIniFile(const AppSettings& settings);

} // namespace modIniFile
