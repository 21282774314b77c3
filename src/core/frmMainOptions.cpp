// SPDX-License-Identifier: MIT
// The appearance and reading options of the Options menu.
#include "core/frmMain.h"
#include "settings/Options.h"

namespace logwarden::core {

using settings::AppSettings;
using settings::chooseOption;

void frmMain::mnuOptionLineCount_Click(int Index) {
    chooseOption(mnuOptionLineCount, g, &AppSettings::gintSizeLineCount, Index);
    RefreshTail();
}

void frmMain::mnuOptionBufferSize_Click(int Index) {
    chooseOption(mnuOptionBufferSize, g, &AppSettings::gintSizeBufferSize, Index);
    RefreshTail();
}

void frmMain::mnuBGColorVal_Click(int Index) {
    const int chosen = chooseOption(mnuBGColorVal, g, &AppSettings::gintColorBackground, Index);
    txtView.setBackColor(*settings::backgroundColor(mnuBGColorVal[chosen].caption()));
}

void frmMain::mnuTextColorVal_Click(int Index) {
    const int chosen = chooseOption(mnuTextColorVal, g, &AppSettings::gintColorTextFont, Index);
    txtView.setForeColor(*settings::textColor(mnuTextColorVal[chosen].caption()));
}

void frmMain::mnuTextSizeValue_Click(int Index) {
    const int chosen = chooseOption(mnuTextSizeValue, g, &AppSettings::gintSizeTextFont, Index);
    txtView.setFontSize(chosen);
}

} // namespace logwarden::core
