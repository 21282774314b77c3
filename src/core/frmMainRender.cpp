// SPDX-License-Identifier: MIT
// Rendering the tail into the view, extraction, the line end and Copy.
#include "core/TailRender.h"
#include "core/frmMain.h"

namespace logwarden::core {

void frmMain::ShowTailText() {
    txtView.setText(renderTail(mstrTailText, g.gstrReturnCode, extraction()));
}

std::optional<Extraction> frmMain::extraction() const {
    if (!g.gblnExtractMode) {
        return std::nullopt;
    }
    const settings::WatchSettings& how = g.gudtWatch;
    const ui::Folding folding{how.extractIgnoreCase, how.extractIgnoreWidth, how.extractIgnoreKana};
    return Extraction{ui::TextMatcher(g.gstrSearchWord, false, folding),
                      how.extractWholeWindow ? GetLineCount() : 0};
}

void frmMain::mnuEditFind_Click() {
    const QString answer =
        port.InputBox(QStringLiteral("行を抽出するキーワードを入力してください。"),
                      QStringLiteral("抽出キーワード入力"), g.gstrSearchWord);
    if (!answer.isEmpty()) {
        g.gblnExtractMode = true;
        g.gstrSearchWord = answer;
        showKeyword();
        if (!g.gblnViewSearchWord) {
            mnuViewSearchWord_Click();
        }
    } else {
        g.gblnExtractMode = false;
        showKeyword();
    }
    if (!mblnReading) {
        if (g.gudtWatch.extractWholeWindow) {
            decodeShownTail(); // extraction reads the whole window, the view only its lines
        }
        ShowTailText();
    }
}

// The keyword and, when the comparison or the scope is not the classic one, how: so that a view
// that shows nothing says what was looked for.
void frmMain::showKeyword() {
    const settings::WatchSettings& how = g.gudtWatch;
    QStringList tags;
    QStringList notes;
    const auto note = [&](bool on, const char16_t* tag, const QString& text) {
        if (on) {
            tags << QString::fromUtf16(tag);
            notes << text;
        }
    };
    note(how.extractWholeWindow, u"範囲全体",
         QStringLiteral("読み込み範囲全体から、一致した最後の %1 行").arg(GetLineCount()));
    note(how.extractIgnoreCase, u"大小無視", QStringLiteral("大文字と小文字を区別しない"));
    note(how.extractIgnoreWidth, u"全半無視", QStringLiteral("全角と半角を区別しない"));
    note(how.extractIgnoreKana, u"かな無視", QStringLiteral("ひらがなとカタカナを区別しない"));
    if (!g.gblnExtractMode || tags.isEmpty()) {
        lblSerchWord.setCaption(g.gblnExtractMode ? g.gstrSearchWord : QString());
        lblSerchWord.setToolTipNote({});
        return;
    }
    lblSerchWord.setCaption(g.gstrSearchWord + QStringLiteral("（%1）").arg(tags.join(u'・')));
    lblSerchWord.setToolTipNote(notes.join(u'\n'));
}

void frmMain::flipExtraction(ui::MenuItem& item, bool settings::WatchSettings::*option) {
    bool& on = g.gudtWatch.*option;
    on = !on;
    item.setChecked(on);
    showKeyword();
    if (!mblnReading) {
        decodeShownTail();
        ShowTailText();
    }
}

void frmMain::mnuEditFindWhole_Click() {
    flipExtraction(mnuEditFindWhole, &settings::WatchSettings::extractWholeWindow);
}

void frmMain::mnuEditFindIgnoreCase_Click() {
    flipExtraction(mnuEditFindIgnoreCase, &settings::WatchSettings::extractIgnoreCase);
}

void frmMain::mnuEditFindIgnoreWidth_Click() {
    flipExtraction(mnuEditFindIgnoreWidth, &settings::WatchSettings::extractIgnoreWidth);
}

void frmMain::mnuEditFindIgnoreKana_Click() {
    flipExtraction(mnuEditFindIgnoreKana, &settings::WatchSettings::extractIgnoreKana);
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
