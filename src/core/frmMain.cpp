// SPDX-License-Identifier: MIT
// Construction, start-up and close, choosing the watched file.
#include "core/frmMain.h"

#include "core/CommandLine.h"
#include "platform/System.h"
#include "platform/Version.h"
#include "settings/IniFile.h"
#include "settings/Options.h"
#include "view/WindowForward.h"

namespace logwarden::core {

using settings::modIniFile::FileName;

frmMain::frmMain(modGlobal& global, PlatformPort& port, QString commandLine)
    : mnuOptionLineCount(settings::lineCountItems()),
      mnuOptionBufferSize(settings::bufferSizeItems()), mnuBGColorVal(settings::backgroundItems()),
      mnuTextColorVal(settings::textColorItems()), mnuTextSizeValue(settings::textSizeItems()),
      g(global), port(port), mCommandLine(std::move(commandLine)) {
    buildMenus();
    connectHandlers();
}

void frmMain::buildMenus() {
    mnuFile.setChildren({&mnuFileOpen, &mnuFileNew, &mnuCut1, &mnuRecent, &mnuCut2, &mnuFileQuit});
    mnuRecent.setChildren({&mnuRecentList});
    mnuEdit.setChildren({&mnuEditCopy, &mnuCut4, &mnuEditFind, &mnuEditFindWhole,
                         &mnuEditFindIgnoreCase, &mnuEditFindIgnoreWidth, &mnuEditFindIgnoreKana});
    mnuMonitor.setChildren({&mnuMonitorStart, &mnuMonitorStop});
    mnuView.setChildren({&mnuViewForward, &mnuCut3, &mnuViewFilepath, &mnuViewTimestamp,
                         &mnuViewFilesize, &mnuViewSearchWord, &mnuViewText});
    mnuOptionLine.setChildren({&mnuOptionLineCount});
    mnuOptionBuffer.setChildren({&mnuOptionBufferSize});
    mnuBGColor.setChildren({&mnuBGColorVal});
    mnuTextColor.setChildren({&mnuTextColorVal});
    mnuTextSize.setChildren({&mnuTextSizeValue});
    mnuOptionNewLine.setChildren({&mnuOptionNewLineType});
    mnuOptionEncoding.setChildren({&mnuOptionEncodingType});
    mnuOptionUpdateAction.setChildren({&mnuOptionUpdateActionIcon, &mnuOptionUpdateActionTaskbar});
    mnuOption.setChildren({&mnuOptionLine, &mnuOptionBuffer, &mnuBGColor, &mnuTextColor,
                           &mnuTextSize, &mnuOptionNewLine, &mnuOptionEncoding,
                           &mnuOptionUpdateAction, &mnuCut5, &mnuOptionWatchRules,
                           &mnuOptionFollowOnOpen});
}

void frmMain::connectHandlers() {
    const auto on = [this](ui::MenuItem& item, void (frmMain::*handler)()) {
        item.setHandler([this, handler] { (this->*handler)(); });
    };
    const auto onIndex = [this](ui::MenuArray& array, void (frmMain::*handler)(int)) {
        array.setHandler([this, handler](int index) { (this->*handler)(index); });
    };
    on(mnuFileOpen, &frmMain::mnuFileOpen_Click);
    on(mnuFileNew, &frmMain::mnuFileNew_Click);
    onIndex(mnuRecentList, &frmMain::mnuRecentList_Click);
    on(mnuFileQuit, &frmMain::mnuFileQuit_Click);
    on(mnuEditCopy, &frmMain::mnuEditCopy_Click);
    on(mnuEditFind, &frmMain::mnuEditFind_Click);
    on(mnuEditFindWhole, &frmMain::mnuEditFindWhole_Click);
    on(mnuEditFindIgnoreCase, &frmMain::mnuEditFindIgnoreCase_Click);
    on(mnuEditFindIgnoreWidth, &frmMain::mnuEditFindIgnoreWidth_Click);
    on(mnuEditFindIgnoreKana, &frmMain::mnuEditFindIgnoreKana_Click);
    on(mnuMonitorStart, &frmMain::mnuMonitorStart_Click);
    on(mnuMonitorStop, &frmMain::mnuMonitorStop_Click);
    on(mnuViewForward, &frmMain::mnuViewForward_Click);
    on(mnuViewFilepath, &frmMain::mnuViewFilepath_Click);
    on(mnuViewTimestamp, &frmMain::mnuViewTimestamp_Click);
    on(mnuViewFilesize, &frmMain::mnuViewFilesize_Click);
    on(mnuViewSearchWord, &frmMain::mnuViewSearchWord_Click);
    on(mnuViewText, &frmMain::mnuViewText_Click);
    onIndex(mnuOptionLineCount, &frmMain::mnuOptionLineCount_Click);
    onIndex(mnuOptionBufferSize, &frmMain::mnuOptionBufferSize_Click);
    onIndex(mnuBGColorVal, &frmMain::mnuBGColorVal_Click);
    onIndex(mnuTextColorVal, &frmMain::mnuTextColorVal_Click);
    onIndex(mnuTextSizeValue, &frmMain::mnuTextSizeValue_Click);
    onIndex(mnuOptionNewLineType, &frmMain::mnuOptionNewLineType_Click);
    onIndex(mnuOptionEncodingType, &frmMain::mnuOptionEncodingType_Click);
    on(mnuOptionWatchRules, &frmMain::mnuOptionWatchRules_Click);
    on(mnuOptionFollowOnOpen, &frmMain::mnuOptionFollowOnOpen_Click);
}

QString frmMain::GetAppCaption() {
    return QStringLiteral("Logwarden (ver %1.%2.%3)")
        .arg(platform::version::Major)
        .arg(platform::version::Minor)
        .arg(platform::version::Patch);
}

void frmMain::Form_Load() {
    mSettingsUnread = settings::modIniFile::LoadIniFile(g);
    mWatchUnread = settings::loadWatchSettings(g.gudtWatch);
    mWatchLoaded = g.gudtWatch;
    if (mWatchUnread) {
        port.printError(QStringLiteral("logwarden: %1 を読めません（強調と通知の規則は空です）: %2")
                            .arg(QLatin1String(settings::WatchFileName),
                                 QString::fromLocal8Bit(mWatchUnread.message())));
    }
    mlngLineCount = 20;
    mblnReading = false;
    mintFlashState = 0;
    timFlash.setEnabled(false);
    window.setCaption(GetAppCaption());

    for (const ViewSwitch& view : viewSwitches()) {
        view.item.setChecked(view.shown);
    }
    mnuViewForward.setChecked(g.gblnModeWindowForward);

    mnuBGColorVal_Click(g.gintColorBackground);
    mnuTextColorVal_Click(g.gintColorTextFont);
    mnuTextSizeValue_Click(g.gintSizeTextFont);
    mnuOptionLineCount_Click(g.gintSizeLineCount);
    mnuOptionBufferSize_Click(g.gintSizeBufferSize);
    mnuOptionNewLineType_Click(g.gintTypeReturnCode);
    mnuEditFindWhole.setChecked(g.gudtWatch.extractWholeWindow);
    mnuEditFindIgnoreCase.setChecked(g.gudtWatch.extractIgnoreCase);
    mnuEditFindIgnoreWidth.setChecked(g.gudtWatch.extractIgnoreWidth);
    mnuEditFindIgnoreKana.setChecked(g.gudtWatch.extractIgnoreKana);
    mnuOptionFollowOnOpen.setChecked(g.gudtWatch.followOnOpen);
    applyWatchRules();

    // A state no window can take (an edited settings file) starts as a normal window.
    if (g.gintModeWindowState < 0 || g.gintModeWindowState > 2) {
        g.gintModeWindowState = 0;
    }
    window.setWindowState(static_cast<ui::WindowState>(g.gintModeWindowState));
    BuildRecentMenu();
    Form_Resize();
    handleCommandLine();
}

void frmMain::handleCommandLine() {
    const QString path = commandLinePath(mCommandLine);
    if (FileExists(path)) {
        OpenWatchedFile(path);
    }
}

void frmMain::Form_QueryUnload() {
    saveSettings();
    view::modWindowForward::SetWindowForward(port, false);
}

// A file that was there but could not be read holds settings this window never saw: writing
// the reset values over them would lose them. The watch file is written only when something in
// it changed, so that a user who never touched it finds no new file.
void frmMain::saveSettings() {
    const auto say = [this](const QString& what, const char* file, std::error_code error) {
        port.printError(what.arg(QLatin1String(file), QString::fromLocal8Bit(error.message())));
    };
    const QString unread =
        QStringLiteral("logwarden: 起動時に %1 を読めなかったため、保存しません: %2");
    const QString unsaved = QStringLiteral("logwarden: %1 を保存できません: %2");
    if (mSettingsUnread) {
        say(unread, FileName, mSettingsUnread);
    } else if (const std::error_code error = settings::modIniFile::SaveIniFile(g)) {
        say(unsaved, FileName, error);
    }
    if (g.gudtWatch == mWatchLoaded) {
        return;
    }
    if (mWatchUnread) {
        say(unread, settings::WatchFileName, mWatchUnread);
    } else if (const std::error_code error = settings::saveWatchSettings(g.gudtWatch)) {
        say(unsaved, settings::WatchFileName, error);
    } else {
        mWatchLoaded = g.gudtWatch; // a second close (the session's end) writes nothing more
    }
}

void frmMain::OpenWatchedFile(const QString& path) {
    mstrFilePath = path;
    lblFilePath.setCaption(path);
    mdtmLastModified = platform::localDate(1990, 1, 1);
    mdblFileLen = 0;
    mFileId.reset();
    mPendingLook.reset();
    timReadPending.setEnabled(false);
    mnuMonitorStop_Click();
    mReadFailed = false;
    RefreshTail();
    AddRecentFile(path);
    if (g.gudtWatch.followOnOpen && !mReadFailed) {
        mnuMonitorStart_Click();
    }
}

bool frmMain::FileExists(const QString& path) {
    return platform::isRegularFile(path);
}

} // namespace logwarden::core
