// SPDX-License-Identifier: MIT
#pragma once

#include "gui/DesktopNotifier.h"
#include "platform/PlatformPort.h"

#include <QPointer>
#include <QWidget>
#include <memory>

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
    std::optional<QList<platform::WatchRule>>
    editWatchRules(const platform::WatchRulesRequest& request) override;
    void notify(const QString& summary, const QString& body) override;
    void printError(const QString& line) override;

private:
    void bringUp();

    QPointer<QWidget> mWindow;
    std::unique_ptr<DesktopNotifier> mNotifier; // made with the first notification
};

} // namespace logwarden::gui
