// SPDX-License-Identifier: MIT
// Monitoring: polling, file notification and the update notice.
#include "core/frmMain.h"

#include <QFileInfo>
#include <utility>

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

// News is checked at once, so that a lone line is drawn on the next frame. The file's writes are
// then left unreported, and the file only looked at, every few milliseconds: the line on which a
// stream stops is drawn as soon as a look finds no write since the last, and while writes keep
// coming what came is drawn ten times a second. Drawing every frame of a stream would cost a
// tenth of a core at a thousand lines a second, for lines nobody reads at that pace.
void frmMain::fileWatch_Changed() {
    if (!timFileCheck.enabled() || timNotify.enabled()) {
        return;
    }
    checkFile(true);
    mStreamLook = seenState();
    mSinceStreamDrawn = 0;
    timNotify.setEnabled(true);
}

void frmMain::timNotify_Timer() {
    const bool writing = stillWriting();
    if (writing && mSinceStreamDrawn == 0) {
        watchFile(false); // after the news was drawn, not before
    }
    mSinceStreamDrawn += FoldTickMs;
    if (writing && mSinceStreamDrawn < StreamDrawMs) {
        return;
    }
    mSinceStreamDrawn = 0;
    if (!writing) {
        // Watched again before the check, so that no write falls between the two.
        watchFile(true);
        timNotify.setEnabled(false);
    }
    checkFile(true);
}

// Whether the file changed since the last look; only where a look costs one prompt query. A
// file that cannot be looked at is left to the check that follows.
bool frmMain::stillWriting() {
    if (mstrFilePath.isEmpty() || !platform::answersPromptly(mstrFilePath)) {
        return false;
    }
    try {
        const platform::FileStamp stamp = platform::queryFile(mstrFilePath);
        const ComparisonState now{mlngLineCount, stamp.lastModified, stamp.length, stamp.id};
        return std::exchange(mStreamLook, now) != now;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace logwarden::core
