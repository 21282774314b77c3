// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PlatformPort.h"

#include <QPointer>
#include <QWidget>

namespace logwarden::gui {

// The desktop as Qt offers it, for one window.
class QtPort : public platform::PlatformPort {
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
    QStringList showFileDialog(const platform::FileDialogRequest& request) override;
    QString startProcess(const QString& program, const QStringList& arguments,
                         bool maximized) override;
    QString applicationFilePath() const override;
    void printError(const QString& line) override;

private:
    QPointer<QWidget> mWindow;
};

} // namespace logwarden::gui
