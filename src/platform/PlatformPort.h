// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace files {
struct OpenFileName;
}

// What the window asks of the desktop and cannot answer itself. The Qt implementation lives in
// gui/; tests use a scripted fake.
class PlatformPort {
public:
    enum class MsgIcon { Critical, Question, Information };
    enum class MsgButtons { Ok, YesNo };
    enum class MsgAnswer { Ok, Yes, No };

    // The dialog functions a file dialog record is shown with.
    enum class FileDialog { Open, PreviewOpen, Save, PreviewSave };

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
    // Shows the dialog the record describes, modal to the window that hwndOwner names. On a
    // choice it fills the record's file buffers (files::completeChoice) and returns true;
    // false when the user cancelled or the dialog failed.
    virtual bool showFileDialog(FileDialog function, files::OpenFileName& record) = 0;
    // The handle that names this window as the owner of a dialog.
    virtual std::uintptr_t windowHandle() const = 0;
    // Starts a program as a separate process in this process's current directory, without
    // waiting; `maximized` asks for its window to be shown maximised. Returns the system's
    // reason when it cannot be started, empty otherwise.
    virtual QString startProcess(const QString& program, const QStringList& arguments,
                                 bool maximized) = 0;
    virtual QString applicationFilePath() const = 0;
    // One line on the process's standard error, for what fails where no window can say it.
    virtual void printError(const QString& line) = 0;
};
