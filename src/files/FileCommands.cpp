#include "core/frmMain.h"

void frmMain::mnuFileOpen_Click() {}

void frmMain::mnuFileNew_Click() {}

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
