#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// What the window asks of the desktop and cannot answer itself. The Qt implementation lives in
// platform/qt; tests use a scripted fake.
class PlatformPort {
public:
    enum class MsgIcon { Critical, Question, Information };
    enum class MsgButtons { Ok, YesNo };
    enum class MsgAnswer { Ok, Yes, No };

    struct FileDialogRequest {
        bool save = false;
        QString title;
        QString filter; // description, NUL, patterns, NUL, ... as the caller wrote it
        QString initialDir;
        QString defaultExt;
        std::uint32_t flags = 0;
    };

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
    virtual void focusWindow() = 0;
    // Asks the window to close through its normal close path.
    virtual void closeWindow() = 0;
    // The chosen full path, or empty when cancelled or failed.
    virtual QString showFileDialog(const FileDialogRequest& request) = 0;
    // Starts a detached copy of a program; returns the system's reason when it cannot.
    virtual QString startProcess(const QString& program, const QStringList& arguments,
                                 bool maximized) = 0;
    virtual QString applicationFilePath() const = 0;
};
