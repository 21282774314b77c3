// SPDX-License-Identifier: MIT
// The File menu's commands and drops.
#include "core/frmMain.h"
#include "files/OpenSaveDialog.h"

#include <QDir>

namespace logwarden::core {

using platform::PlatformPort;

void frmMain::mnuFileOpen_Click() {
    if (timFileCheck.enabled() &&
        port.MsgBox(QStringLiteral("モニタリング中です、解除しますか？"),
                    PlatformPort::MsgButtons::YesNo, PlatformPort::MsgIcon::Question,
                    GetAppCaption()) == PlatformPort::MsgAnswer::No) {
        return;
    }
    mnuMonitorStop_Click();
    QString path;
    {
        files::clsOpenSaveDialog dialog(port);
        dialog.Filter(QStringLiteral("すべてのファイル (*.*)") + QChar(u'\0') +
                      QStringLiteral("*.*;"));
        dialog.FileMustExist(true);
        dialog.CheckReadOnly(true);
        dialog.HideReadOnly(true);
        dialog.Explorer(true);
        dialog.PathMustExist(true);
        dialog.InitDir(QDir::currentPath());
        dialog.ShowOpen(window.handle());
        path = dialog.FilePath();
    }
    if (!path.isEmpty()) {
        OpenWatchedFile(path);
    }
}

void frmMain::mnuFileNew_Click() {
    QStringList arguments;
    if (!mstrFilePath.isEmpty()) {
        arguments << u'"' + mstrFilePath + u'"';
    }
    const QString failure = port.startProcess(port.applicationFilePath(), arguments,
                                              window.windowState() == ui::WindowState::Maximized);
    if (!failure.isEmpty()) {
        port.MsgBox(QStringLiteral("新規ウィンドウを起動できません\n") + failure,
                    PlatformPort::MsgButtons::Ok, PlatformPort::MsgIcon::Critical, GetAppCaption());
    }
}

void frmMain::mnuFileQuit_Click() {
    port.closeWindow();
}

void frmMain::Form_OLEDragDrop(const DropData& data) {
    if (!data.hasFileList || data.files.size() != 1) {
        return;
    }
    const QString& path = data.files.first();
    if (!FileExists(path)) {
        return;
    }
    timFileCheck.setEnabled(false);
    window.setCaption(GetAppCaption());
    port.focusWindow();
    OpenWatchedFile(path);
}

} // namespace logwarden::core
