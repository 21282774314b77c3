// SPDX-License-Identifier: MIT
#pragma once

#include "core/NotifyFold.h"
#include "core/TailRender.h"
#include "core/WatchState.h"
#include "core/modGlobal.h"
#include "platform/BoundedCall.h"
#include "platform/PlatformPort.h"
#include "ui/FileWatch.h"
#include "ui/FormWindow.h"
#include "ui/Label.h"
#include "ui/Menu.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <system_error>
#include <vector>

namespace logwarden::core {

using platform::PlatformPort;

// What a drop on the window offers: whether it carries a file list, and the files in it.
struct DropData {
    bool hasFileList = false;
    QStringList files;
};

// The program's only window, without a display: its controls are models, its behaviour the
// handlers below, defined in the files of core/ named after their concern.
//
// Names. The window keeps the names of its classic design, so that each handler can be found
// by the control and event it answers: `frm` form, `mnu` menu item, `lbl` label, `fra` frame,
// `txt` text box, `tim` timer, `mod`/`cls` the module or class a procedure belongs to;
// `Control_Event` is a handler. Fields start with `g` (process-wide, modGlobal) or `m` (this
// window, WatchState), then a type: `bln` bool, `int` 16-bit (`short`), `lng` 32-bit
// (`std::int32_t`), `dbl` and `dtm` as the design named them, though `mdblFileLen` is a 64-bit
// integer of bytes and `mdtmLastModified` a nanosecond DateTime. The spellings `Serch` and
// `NoValiDate` are the design's too and stay, so that a name is found under one spelling. All
// else follows the project's own Qt style. Geometry is in twips: 1/1440 inch, 15 to a pixel
// at 96 DPI.
class frmMain : private WatchState {
public:
    frmMain(modGlobal& global, PlatformPort& port, QString commandLine);

    const WatchState& watchState() const { return *this; }
    const modGlobal& global() const { return g; }

    // Start-up and close (frmMain.cpp)
    void Form_Load();
    void Form_QueryUnload();
    // The settings file written as the window's close writes it, or left alone, with the reason
    // on standard error, when the file there could not be read at start.
    void saveSettings();
    static QString GetAppCaption();
    void OpenWatchedFile(const QString& path);
    static bool FileExists(const QString& path);

    // Tail reader (frmMainTail.cpp)
    void RefreshTail();
    std::int32_t GetLineCount() const;
    std::int32_t GetBufferSize() const;
    void mnuOptionEncodingType_Click(int Index);

    // Rendering and extraction (frmMainRender.cpp)
    void ShowTailText();
    void mnuEditFind_Click();
    void mnuOptionNewLineType_Click(int Index);
    void mnuEditCopy_Click();
    void mnuEditFindWhole_Click();
    void mnuEditFindIgnoreCase_Click();
    void mnuEditFindIgnoreWidth_Click();
    void mnuEditFindIgnoreKana_Click();

    // Polling and the update notice (frmMainMonitoring.cpp)
    void mnuMonitorStart_Click();
    void mnuMonitorStop_Click();
    void timFileCheck_Timer();
    void timFlash_Timer();
    void fileWatch_Changed();
    void timNotify_Timer();
    void timReadPending_Timer();

    // Layout and the View menu (frmMainView.cpp)
    void Form_Resize();
    void mnuViewFilepath_Click();
    void mnuViewTimestamp_Click();
    void mnuViewFilesize_Click();
    void mnuViewSearchWord_Click();
    void mnuViewText_Click();
    void mnuViewForward_Click();

    // Appearance and reading options (frmMainOptions.cpp)
    void mnuOptionLineCount_Click(int Index);
    void mnuOptionBufferSize_Click(int Index);
    void mnuBGColorVal_Click(int Index);
    void mnuTextColorVal_Click(int Index);
    void mnuTextSizeValue_Click(int Index);

    // Watch rules, their notifications, following from the first moment (frmMainRules.cpp)
    void mnuOptionWatchRules_Click();
    void mnuOptionFollowOnOpen_Click();
    void timRuleNotify_Timer();

    // File commands (frmMainFiles.cpp), the recent list (frmMainRecent.cpp)
    void mnuFileOpen_Click();
    void mnuFileNew_Click();
    void mnuRecentList_Click(int Index);
    void mnuFileQuit_Click();
    void Form_OLEDragDrop(const DropData& data);
    void AddRecentFile(const QString& path);
    void BuildRecentMenu();

    // The window and its controls, in their design-time state.
    ui::FormWindow window;

    ui::Frame fraFilePath{{600, 4920, 7545, 435}};
    ui::Label lblFilePathCap{{120, 180, 1440, 180}, QStringLiteral("ファイルパス：")};
    ui::Label lblFilePath{{1500, 180, 5790, 180}};
    ui::Frame fraLastModified{{60, 390, 3555, 435}};
    ui::Label lblLastModifiedCap{{90, 180, 1440, 180}, QStringLiteral("タイムスタンプ：")};
    ui::Label lblLastModified{{1650, 180, 1815, 180}};
    ui::Frame fraFileLen{{4200, 390, 3345, 435}};
    ui::Label lblFileLenCap{{120, 180, 1440, 180}, QStringLiteral("ファイルサイズ：")};
    ui::Label lblFileLen{{1620, 180, 1665, 255}};
    ui::Frame fraSerchWord{{0, 0, 3345, 435}};
    ui::Label lblSerchWordCaption{{120, 180, 1440, 180}, QStringLiteral("抽出キーワード：")};
    ui::Label lblSerchWord{{1600, 180, 1665, 255}};
    ui::TextBox txtView{{240, 1320, 6855, 3135}};

    ui::Timer timFileCheck{1000, false};
    ui::Timer timFlash{300, true};
    // Beyond the classic window: file notification, and the looks that fold a stream of its
    // writes; a read on a slow share, asked after while it is on its way.
    ui::FileWatch fileWatch;
    static constexpr int FoldTickMs = 8;
    static constexpr int StreamDrawMs = 100;
    ui::Timer timNotify{FoldTickMs, false};
    ui::Timer timReadPending{50, false};
    // Ticks while a rule's notifications are folded (NotifyFold).
    ui::Timer timRuleNotify{1000, false};

    ui::MenuItem mnuFile{{QStringLiteral("ファイル(&F)")}};
    ui::MenuItem mnuFileOpen{{QStringLiteral("ファイルを開く(&O)"), QStringLiteral("Ctrl+O")}};
    ui::MenuItem mnuFileNew{{QStringLiteral("新規ウィンドウ(&W)"), QStringLiteral("Ctrl+N")}};
    ui::MenuItem mnuCut1{{QStringLiteral("-")}};
    ui::MenuItem mnuRecent{{QStringLiteral("最近開いたファイル")}};
    ui::MenuArray mnuRecentList{{{0, {QStringLiteral("（なし）"), {}, false, false}}}};
    ui::MenuItem mnuCut2{{QStringLiteral("-")}};
    ui::MenuItem mnuFileQuit{{QStringLiteral("終了(&Q)"), QStringLiteral("Ctrl+Q")}};

    ui::MenuItem mnuEdit{{QStringLiteral("編集(&E)")}};
    ui::MenuItem mnuEditCopy{{QStringLiteral("コピー(&C)"), QStringLiteral("Ctrl+C")}};
    ui::MenuItem mnuCut4{{QStringLiteral("-")}};
    ui::MenuItem mnuEditFind{{QStringLiteral("抽出(&F)"), QStringLiteral("Ctrl+F")}};
    ui::MenuItem mnuEditFindWhole{{QStringLiteral("読み込み範囲全体から抽出")}};
    ui::MenuItem mnuEditFindIgnoreCase{{QStringLiteral("大文字と小文字を区別しない")}};
    ui::MenuItem mnuEditFindIgnoreWidth{{QStringLiteral("全角と半角を区別しない")}};
    ui::MenuItem mnuEditFindIgnoreKana{{QStringLiteral("ひらがなとカタカナを区別しない")}};

    ui::MenuItem mnuMonitor{{QStringLiteral("モニタリング(&M)")}};
    ui::MenuItem mnuMonitorStart{
        {QStringLiteral("開始(&S)"), QStringLiteral("Ctrl+S"), false, false}};
    ui::MenuItem mnuMonitorStop{
        {QStringLiteral("終了(&E)"), QStringLiteral("Ctrl+E"), false, false}};

    ui::MenuItem mnuView{{QStringLiteral("表示(&V)")}};
    ui::MenuItem mnuViewForward{{QStringLiteral("常に前面表示"), QStringLiteral("F4")}};
    ui::MenuItem mnuCut3{{QStringLiteral("-")}};
    ui::MenuItem mnuViewFilepath{{QStringLiteral("ファイルパス"), QStringLiteral("F6"), true}};
    ui::MenuItem mnuViewTimestamp{{QStringLiteral("タイムスタンプ"), QStringLiteral("F7"), true}};
    ui::MenuItem mnuViewFilesize{{QStringLiteral("ファイルサイズ"), QStringLiteral("F8"), true}};
    ui::MenuItem mnuViewSearchWord{{QStringLiteral("抽出キーワード"), QStringLiteral("F9")}};
    ui::MenuItem mnuViewText{{QStringLiteral("テキスト"), {}, true}};

    ui::MenuItem mnuOption{{QStringLiteral("オプション(&O)")}};
    ui::MenuItem mnuOptionLine{{QStringLiteral("表示行数")}};
    ui::MenuArray mnuOptionLineCount;
    ui::MenuItem mnuOptionBuffer{{QStringLiteral("バッファサイズ")}};
    ui::MenuArray mnuOptionBufferSize;
    ui::MenuItem mnuBGColor{{QStringLiteral("背景色")}};
    ui::MenuArray mnuBGColorVal;
    ui::MenuItem mnuTextColor{{QStringLiteral("文字色")}};
    ui::MenuArray mnuTextColorVal;
    ui::MenuItem mnuTextSize{{QStringLiteral("文字サイズ")}};
    ui::MenuArray mnuTextSizeValue;
    ui::MenuItem mnuOptionNewLine{{QStringLiteral("改行コード")}};
    ui::MenuArray mnuOptionNewLineType{
        {{1, {QStringLiteral("CRLF"), {}, true}}, {2, {QStringLiteral("LF")}}}};
    ui::MenuItem mnuOptionEncoding{{QStringLiteral("文字コード")}};
    ui::MenuArray mnuOptionEncodingType{{{0, {QStringLiteral("自動"), {}, true}},
                                         {1, {QStringLiteral("UTF-8")}},
                                         {2, {QStringLiteral("Shift_JIS")}},
                                         {3, {QStringLiteral("EUC-JP")}}}};
    ui::MenuItem mnuOptionUpdateAction{{QStringLiteral("更新の通知")}};
    ui::MenuItem mnuOptionUpdateActionIcon{{QStringLiteral("アイコンの点滅"), {}, true, false}};
    // Checked, unlike the classic window's: the taskbar is asked to flash too.
    ui::MenuItem mnuOptionUpdateActionTaskbar{
        {QStringLiteral("タスクバーの点滅"), {}, true, false}};
    ui::MenuItem mnuCut5{{QStringLiteral("-")}};
    ui::MenuItem mnuOptionWatchRules{{QStringLiteral("強調と通知…")}};
    ui::MenuItem mnuOptionFollowOnOpen{{QStringLiteral("開いたら監視を開始")}};

    // The menu bar, left to right.
    std::vector<ui::MenuItem*> menuBar() {
        return {&mnuFile, &mnuEdit, &mnuMonitor, &mnuView, &mnuOption};
    }

private:
    void buildMenus();
    void connectHandlers();
    void handleCommandLine();
    void failRead(const QString& description);
    void checkFile(bool notified);
    void watchFile(bool withItsWrites);
    bool stillWriting();
    ComparisonState seenState() const;
    std::optional<TailLook> lookAgain();
    void decodeShownTail();
    std::optional<Extraction> extraction() const;
    void showKeyword();
    void flipExtraction(ui::MenuItem& item, bool settings::WatchSettings::*option);
    void applyWatchRules();
    void noticeNewLines(const QString& before);
    void sendNote(const NotifyFold::Note& note);
    // A View switch: its menu item, the setting that records it and the control it shows.
    struct ViewSwitch {
        ui::MenuItem& item;
        bool& shown;
        ui::Placed& control;
    };
    std::array<ViewSwitch, 5> viewSwitches();
    void flipView(const ui::MenuItem& item);

    modGlobal& g;
    PlatformPort& port;
    QString mCommandLine;
    // Why the settings file at start could not be read; the close leaves it alone then.
    std::error_code mSettingsUnread;
    // The same for the watch file, and what it held: a close that changed nothing leaves it be.
    std::error_code mWatchUnread;
    settings::WatchSettings mWatchLoaded;
    // The last read of the file failed and was told.
    bool mReadFailed = false;
    struct NotifyingRule {
        int index;
        ui::TextMatcher matcher;
    };
    std::vector<NotifyingRule> mNotifying;
    NotifyFold mNotifyFold;
    bool mStyled = false;
    // The check under way was started by a file notification.
    bool mCheckingNotified = false;
    // While a stream of writes is folded: the file as last looked at, and how long ago its news
    // was drawn.
    ComparisonState mStreamLook;
    int mSinceStreamDrawn = 0;
    struct PendingLook {
        QString path;
        platform::BackgroundCall<TailLook> call;
    };
    std::optional<PendingLook> mPendingLook;
};

} // namespace logwarden::core
