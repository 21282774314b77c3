// SPDX-License-Identifier: MIT
#include "core/TailRender.h"

#include "core/frmMain.h"

QString renderTail(const QString& tail, const QString& separator, bool extract,
                   const QString& keyword) {
    static const QString crlf = QStringLiteral("\r\n");
    QString result;
    result.reserve(tail.size() + tail.size() / 8 + 2);
    const auto keep = [&](QStringView piece) {
        if (!extract || piece.contains(keyword)) {
            result.append(piece).append(crlf);
        }
    };
    qsizetype from = 0;
    // An empty separator would be found everywhere; the whole tail is then one piece.
    if (!separator.isEmpty()) {
        for (qsizetype at = tail.indexOf(separator, from); at >= 0;
             at = tail.indexOf(separator, from)) {
            keep(QStringView(tail).sliced(from, at - from));
            from = at + separator.size();
        }
    }
    keep(QStringView(tail).sliced(from));
    // A NUL shows as nothing useful, and a copy that holds one is cut short by many programs.
    return result.replace(QChar(u'\0'), QChar(u'\u2400'));
}

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
    g.gintTypeReturnCode = static_cast<short>(Index);
    if (Index == 2) {
        g.gstrReturnCode = QStringLiteral("\n");
    } else {
        g.gstrReturnCode = QStringLiteral("\r\n");
        g.gintTypeReturnCode = 1;
    }
    mnuOptionNewLineType.checkOnly(g.gintTypeReturnCode);
    ShowTailText();
}

void frmMain::mnuEditCopy_Click() {
    port.setClipboardText(txtView.text());
}
