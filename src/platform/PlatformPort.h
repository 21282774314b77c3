// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WatchRule.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace logwarden::platform {

// A file dialog as the toolkit shows it, and what it must refuse.
struct FileDialogRequest {
    struct NameFilter {
        QString description;
        QStringList patterns; // "*" is every file
        friend bool operator==(const NameFilter&, const NameFilter&) = default;
    };

    bool save = false;
    QString title;
    QList<NameFilter> filters; // none: every file, no list
    QString initialFolder;     // empty: the toolkit's choice
    QString defaultSuffix;
    bool multiple = false;      // several files may be chosen
    bool fileMustExist = false; // an open dialog takes existing files only
    bool pathMustExist = false;
    bool createPrompt = false;    // asks before a file that does not exist is taken
    bool overwritePrompt = false; // asks before an existing file is taken to be saved over
    bool noReadOnly = false;      // a read-only file is refused
    // Why the chosen files cannot be taken, or empty when they can: the dialog then stays open
    // and says so.
    std::function<QString(const QStringList& chosen)> refusal;
};

// What the window asks of the desktop and cannot answer itself. The Qt implementation lives in
// gui/; tests use a scripted fake.
class PlatformPort {
public:
    enum class MsgIcon { Critical, Question, Information };
    enum class MsgButtons { Ok, YesNo };
    enum class MsgAnswer { Ok, Yes, No };

    PlatformPort() = default;
    PlatformPort(const PlatformPort&) = delete;
    PlatformPort& operator=(const PlatformPort&) = delete;
    PlatformPort(PlatformPort&&) = delete;
    PlatformPort& operator=(PlatformPort&&) = delete;
    virtual ~PlatformPort() = default;

    virtual MsgAnswer MsgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                             const QString& title) = 0;
    // The empty text for both an emptied box and a cancel.
    virtual QString InputBox(const QString& prompt, const QString& title,
                             const QString& defaultAnswer) = 0;
    // Replaces whatever the clipboard held by the plain text.
    virtual void setClipboardText(const QString& text) = 0;
    // Whether the active window of the desktop is this window.
    virtual bool isActiveWindow() const = 0;
    virtual void setWindowForward(bool topmost) = 0;
    // Asks for the user's attention the desktop's way (a taskbar entry that flashes).
    virtual void requestAttention() = 0;
    virtual void focusWindow() = 0;
    // Asks the window to close through its normal close path.
    virtual void closeWindow() = 0;
    // Shows the dialog, modal to this window; the files chosen, none when the user cancelled.
    virtual QStringList showFileDialog(const FileDialogRequest& request) = 0;
    // Starts a program as a separate process in this process's current directory, without
    // waiting; `maximized` asks for its window to be shown maximised. Returns the system's
    // reason when it cannot be started, empty otherwise.
    virtual QString startProcess(const QString& program, const QStringList& arguments,
                                 bool maximized) = 0;
    virtual QString applicationFilePath() const = 0;
    // Shows the rules' dialog, modal to this window; the rules as edited, none when cancelled.
    virtual std::optional<QList<WatchRule>> editWatchRules(const WatchRulesRequest& request) = 0;
    // A message through the desktop's notification service, if it has one; activating it
    // brings this window up.
    virtual void notify(const QString& summary, const QString& body) = 0;
    // One line on the process's standard error, for what fails where no window can say it.
    virtual void printError(const QString& line) = 0;
};

} // namespace logwarden::platform
