// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PlatformPort.h"

#include <QPointer>
#include <QWidget>

// The desktop as Qt offers it, for one window.
class QtPort : public PlatformPort {
public:
    void attach(QWidget* window) { mWindow = window; }

    MsgAnswer MsgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultAnswer) override;
    void setClipboardText(const QString& text) override;
    bool isActiveWindow() const override;
    void setWindowForward(bool topmost) override;
    void requestAttention() override;
    void focusWindow() override;
    void closeWindow() override;
    bool showFileDialog(FileDialog function, files::OpenFileName& record) override;
    std::uintptr_t windowHandle() const override;
    QString startProcess(const QString& program, const QStringList& arguments,
                         bool maximized) override;
    QString applicationFilePath() const override;
    void printError(const QString& line) override;

private:
    QPointer<QWidget> mWindow;
};
