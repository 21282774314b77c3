// SPDX-License-Identifier: MIT
#include "core/frmMain.h"

namespace {
const QString monitoringMark = QStringLiteral(" - 監視中");
}

void frmMain::mnuMonitorStart_Click() {
    timFileCheck.setEnabled(true);
    window.setCaption(GetAppCaption() + monitoringMark);
    mnuMonitorStart.setEnabled(false);
    mnuMonitorStop.setEnabled(true);
    RefreshTail();
}

void frmMain::mnuMonitorStop_Click() {
    timFileCheck.setEnabled(false);
    window.setCaption(GetAppCaption());
    mnuMonitorStop.setEnabled(false);
    mnuMonitorStart.setEnabled(true);
}

void frmMain::timFileCheck_Timer() {
    if (!mstrFilePath.isEmpty()) {
        RefreshTail();
        return;
    }
    // Started with no file: polling ends, but the menu stays as the user left it.
    timFileCheck.setEnabled(false);
    window.setCaption(GetAppCaption());
}

void frmMain::timFlash_Timer() {
    if (!port.isActiveWindow() && mintFlashState != 0) {
        mintFlashState = mintFlashState == 1 ? 2 : 1;
    } else {
        timFlash.setEnabled(false);
        mintFlashState = 0;
    }
    window.setIcon(mintFlashState);
}
