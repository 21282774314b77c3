// SPDX-License-Identifier: MIT
// Rendering the tail into the view, extraction, the line end and Copy.
#include "core/TailRender.h"
#include "core/frmMain.h"

namespace logwarden::core {

void frmMain::ShowTailText() {
    txtView.setText(
        renderTail(mstrTailText, g.gstrReturnCode, g.gblnExtractMode, g.gstrSearchWord));
}

void frmMain::mnuEditFind_Click() {
    const QString answer =
        port.InputBox(QStringLiteral("行を抽出するキーワードを入力してください。"),
                      QStringLiteral("抽出キーワード入力"), g.gstrSearchWord);
    if (!answer.isEmpty()) {
        g.gblnExtractMode = true;
        g.gstrSearchWord = answer;
        lblSerchWord.setCaption(answer);
        if (!g.gblnViewSearchWord) {
            mnuViewSearchWord_Click();
        }
    } else {
        g.gblnExtractMode = false;
        lblSerchWord.setCaption({});
    }
    if (!mblnReading) {
        ShowTailText();
    }
}

void frmMain::mnuOptionNewLineType_Click(int Index) {
    // Where no type was stored (or one that names no item), the platform's own line end.
#ifdef Q_OS_WIN
    constexpr short platformType = 1;
#else
    constexpr short platformType = 2;
#endif
    g.gintTypeReturnCode = Index == 1 || Index == 2 ? static_cast<short>(Index) : platformType;
    g.gstrReturnCode = g.gintTypeReturnCode == 2 ? QStringLiteral("\n") : QStringLiteral("\r\n");
    mnuOptionNewLineType.checkOnly(g.gintTypeReturnCode);
    ShowTailText();
}

void frmMain::mnuEditCopy_Click() {
    port.setClipboardText(txtView.text());
}

} // namespace logwarden::core
