// SPDX-License-Identifier: MIT
#pragma once

#include "settings/AppSettings.h"

#include <QString>

namespace logwarden::core {

// Everything a process shares across its (single) window; extraction is never saved.
struct modGlobal : settings::AppSettings {
    bool gblnExtractMode = false;
    QString gstrSearchWord;
    QString gstrReturnCode;
};

} // namespace logwarden::core
