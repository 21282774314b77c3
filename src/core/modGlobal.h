// SPDX-License-Identifier: MIT
#pragma once

#include "settings/AppSettings.h"
#include "settings/WatchSettings.h"

#include <QString>

namespace logwarden::core {

// Everything a process shares across its (single) window; extraction is never saved, how it
// compares is (in the watch file, with the rules).
struct modGlobal : settings::AppSettings {
    bool gblnExtractMode = false;
    QString gstrSearchWord;
    QString gstrReturnCode;
    settings::WatchSettings gudtWatch;
};

} // namespace logwarden::core
