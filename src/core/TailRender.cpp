// SPDX-License-Identifier: MIT
#include "core/TailRender.h"

#include "core/frmMain.h"

QString renderTail(const QString& tail, const QString& separator, bool extract,
                   const QString& keyword) {
    static const QString crlf = QStringLiteral("\r\n");
    QString result;
    result.reserve(tail.size() + tail.size() / 8 + 2);
    const auto keep = [&](QStringView piece) {
        if (extract && !piece.contains(keyword)) {
            return;
        }
        // A CR that ends the piece is the file's line end (a CR LF line split at LF): the view
        // draws it as nothing, as a classic text box does.
        const bool lineEnd = piece.endsWith(u'\r');
        result.append(lineEnd ? piece.chopped(1) : piece);
        result.append(lineEnd ? QStringLiteral("\r\r\n") : crlf);
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
    return result;
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
