// SPDX-License-Identifier: MIT
// Monitoring: polling, file notification and the update notice.
#include "core/frmMain.h"

#include <QFileInfo>

namespace logwarden::core {
namespace {
const QString monitoringMark = QStringLiteral(" - 監視中");
}

void frmMain::mnuMonitorStart_Click() {
    timFileCheck.setEnabled(true);
    window.setCaption(GetAppCaption() + monitoringMark);
    mnuMonitorStart.setEnabled(false);
    mnuMonitorStop.setEnabled(true);
    watchFile(true);
    RefreshTail();
}

void frmMain::mnuMonitorStop_Click() {
    timFileCheck.setEnabled(false);
    window.setCaption(GetAppCaption());
    mnuMonitorStop.setEnabled(false);
    mnuMonitorStart.setEnabled(true);
    fileWatch.setPaths({});
    timNotify.setEnabled(false);
}

void frmMain::timFileCheck_Timer() {
    checkFile(false);
}

// A read on a slow share has come.
void frmMain::timReadPending_Timer() {
    checkFile(true);
}

void frmMain::checkFile(bool notified) {
    if (!mstrFilePath.isEmpty()) {
        mCheckingNotified = notified;
        RefreshTail();
        mCheckingNotified = false;
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

// The folder too: a log rotated away and created anew is seen at once. Without the file, writes
// to it are not reported one by one, which costs a thousand reports a second under a storm.
void frmMain::watchFile(bool withItsWrites) {
    if (mstrFilePath.isEmpty()) {
        return;
    }
    const QString folder = QFileInfo(mstrFilePath).absolutePath();
    fileWatch.setPaths(withItsWrites ? QStringList{mstrFilePath, folder} : QStringList{folder});
}

// News is checked at once, and the file's writes are then left unreported until the next frame,
// which ends with a check of its own: a lone line is drawn at once, a stream once a frame, and
// the line on which it stops within a frame.
void frmMain::fileWatch_Changed() {
    if (!timFileCheck.enabled() || timNotify.enabled()) {
        return;
    }
    checkFile(true);
    watchFile(false);
    timNotify.setEnabled(true);
}

void frmMain::timNotify_Timer() {
    // Watched again before the check, so that no write falls between the two.
    watchFile(true);
    const ComparisonState before = seenState();
    checkFile(true);
    if (seenState() == before || !timFileCheck.enabled()) {
        timNotify.setEnabled(false);
        return;
    }
    watchFile(false);
}

} // namespace logwarden::core
