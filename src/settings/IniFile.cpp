#include "settings/IniFile.h"

namespace modIniFile {

void SetDefaultSettings(AppSettings& settings) {
    settings.gblnViewTimestamp = true;
    settings.gblnViewFilesize = true;
    settings.gblnViewFilepath = true;
    settings.gblnViewSearchWord = false;
    settings.gblnViewText = true;
    settings.gintColorBackground = 1;
    settings.gintColorTextFont = 1;
    settings.gintSizeTextFont = 9;
    settings.gintSizeLineCount = 2;
    settings.gintSizeBufferSize = 1;
    settings.gintModeWindowState = 0;
    settings.gblnModeWindowForward = false;
}

void LoadIniFile(AppSettings& settings) {
    SetDefaultSettings(settings);
}

void SaveIniFile(const AppSettings& /*settings*/) {}

} // namespace modIniFile
