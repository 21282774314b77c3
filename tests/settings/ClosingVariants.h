// SPDX-License-Identifier: MIT
#pragma once

#include "core/modGlobal.h"

#include <QStringList>

// The two settings records that the racing processes close with. Every field differs between
// them, so a file mixed from both, or cut short, matches neither.
inline AppSettings closingVariant(int variant) {
    const bool first = variant == 1;
    AppSettings s;
    s.gblnViewTimestamp = first;
    s.gblnViewFilesize = !first;
    s.gblnViewFilepath = first;
    s.gblnViewSearchWord = !first;
    s.gblnViewText = first;
    s.gintColorBackground = first ? 2 : 5;
    s.gintColorTextFont = first ? 3 : 6;
    s.gintSizeTextFont = first ? 15 : 6;
    s.gintSizeLineCount = first ? 10 : 3;
    s.gintSizeBufferSize = first ? 8 : 4;
    s.gintModeWindowState = first ? 2 : 1;
    s.gblnModeWindowForward = first;
    s.gintTypeReturnCode = first ? 2 : 1;
    for (int i = 0; i < AppSettings::RecentCount; ++i) {
        s.gstrRecentFiles.at(std::size_t(i)) =
            QStringLiteral("/var/log/%1/ログ %2.log").arg(first ? "first" : "second").arg(i);
    }
    return s;
}
