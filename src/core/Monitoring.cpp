// SPDX-License-Identifier: MIT
#include "core/frmMain.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace {
const QString monitoringMark = QStringLiteral(" - 監視中");
}

void frmMain::mnuMonitorStart_Click() {
    timFileCheck.setEnabled(true);
    window.setCaption(GetAppCaption() + monitoringMark);
    mnuMonitorStart.setEnabled(false);
    mnuMonitorStop.setEnabled(true);
    if (!mstrFilePath.isEmpty()) {
        // The folder too: a log rotated away and created anew is seen at once.
        fileWatch.setPaths({mstrFilePath, QFileInfo(mstrFilePath).absolutePath()});
    }
    RefreshTail();
}

void frmMain::mnuMonitorStop_Click() {
    timFileCheck.setEnabled(false);
    window.setCaption(GetAppCaption());
    mnuMonitorStop.setEnabled(false);
    mnuMonitorStart.setEnabled(true);
    fileWatch.setPaths({});
    timNotify.setEnabled(false);
    timNotify.setInterval(NotifyQuickestMs);
    mNotifyPending = false;
    mMissingTicks.reset();
}

void frmMain::timFileCheck_Timer() {
    if (mMissingTicks) {
        ++*mMissingTicks;
    }
    checkFile();
}

void frmMain::checkFile() {
    if (!mstrFilePath.isEmpty()) {
        RefreshTail();
        return;
    }
    // Started with no file: polling ends, but the menu stays as the user left it.
    timFileCheck.setEnabled(false);
    window.setCaption(GetAppCaption());
}

// News is checked at once; more within the interval that follows is checked once at its end,
// so a log written a thousand times a second costs a check per interval, not per write. While
// news keeps coming the interval grows, up to a quarter of a second: redrawing the view is most
// of a check's cost, and nobody reads a thousand lines a second anyway.
void frmMain::fileWatch_Changed() {
    if (!timFileCheck.enabled()) {
        return;
    }
    if (timNotify.enabled()) {
        mNotifyPending = true;
        return;
    }
    timNotify.setEnabled(true);
    checkFile();
}

void frmMain::timNotify_Timer() {
    constexpr int slowest = 240;
    if (!std::exchange(mNotifyPending, false)) {
        timNotify.setEnabled(false);
        timNotify.setInterval(NotifyQuickestMs);
        return;
    }
    timNotify.setInterval(std::min(timNotify.interval() * 2, slowest));
    checkFile();
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
