// SPDX-License-Identifier: MIT
#include "files/RecentFiles.h"

#include "core/frmMain.h"
#include "ui/VisibleText.h"

QString recentCaption(int index, const QString& path) {
    // A tab would start the shortcut column; a bidi control would reorder the digits.
    return QStringLiteral("&%1. %2").arg(index).arg(visibleText(path, true));
}

void frmMain::AddRecentFile(const QString& path) {
    addRecent(g.gstrRecentFiles, path);
    BuildRecentMenu();
}

void frmMain::BuildRecentMenu() {
    if (mnuRecentList.size() == 1) {
        std::vector<ui::MenuArray::Entry> items;
        for (int i = 1; i <= AppSettings::RecentCount; ++i) {
            items.push_back({i, {recentCaption(i, {})}});
        }
        mnuRecentList.add(items);
    }
    for (int i = 1; i <= AppSettings::RecentCount; ++i) {
        const QString& path = g.gstrRecentFiles.at(static_cast<std::size_t>(i - 1));
        mnuRecentList[i].setCaption(recentCaption(i, path));
        mnuRecentList[i].setEnabled(true);
        mnuRecentList[i].setVisible(!path.isEmpty());
    }
    mnuRecentList[0].setVisible(!mnuRecentList[1].visible());
}

void frmMain::mnuRecentList_Click(int Index) {
    if (Index < 1 || Index > AppSettings::RecentCount) {
        return;
    }
    const QString path = g.gstrRecentFiles.at(static_cast<std::size_t>(Index - 1));
    if (path == mstrFilePath) {
        return;
    }
    try {
        if (FileExists(path)) {
            OpenWatchedFile(path);
            return;
        }
    } catch (const std::exception&) {
        // Only a failed allocation can get here: the read answers its own errors. The entry
        // cannot be opened then either, so it is answered as a missing file.
    }
    port.MsgBox(QStringLiteral("ファイルが存在しません"), PlatformPort::MsgButtons::Ok,
                PlatformPort::MsgIcon::Information, GetAppCaption());
}
