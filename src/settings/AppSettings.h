// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>

namespace logwarden::settings {

// The process-wide settings: one field per key of the settings file. Option fields hold menu
// item indices, not values.
struct AppSettings {
    static constexpr int RecentCount = 10;

    bool gblnViewTimestamp = false;
    bool gblnViewFilesize = false;
    bool gblnViewFilepath = false;
    bool gblnViewSearchWord = false;
    bool gblnViewText = false;
    short gintColorBackground = 0;
    short gintColorTextFont = 0;
    short gintSizeTextFont = 0;
    short gintSizeLineCount = 0;
    short gintSizeBufferSize = 0;
    short gintModeWindowState = 0;
    bool gblnModeWindowForward = false;
    short gintTypeReturnCode = 0;
    // Slot 1 (the newest) is element 0; an empty string is an empty slot.
    std::array<QString, RecentCount> gstrRecentFiles;

    friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

} // namespace logwarden::settings
