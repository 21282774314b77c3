// SPDX-License-Identifier: MIT
#include "LoadedForm.h"

namespace {

QStringList shownLines(const frmMain& form) {
    return form.txtView.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class FormRenderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Copy gives the log's own characters, whatever the view shows for them.
    void copyGivesTheFilesCharacters() {
        OpenedLog w("\x1b[31mERR\x1b[0m\ta\u202Eb\n");
        w.form.mnuEditCopy.click();
        QCOMPARE(w.port.clipboard, QStringLiteral("\x1b[31mERR\x1b[0m\ta\u202Eb\r\n\r\n"));
    }

    void extractionFiltersAndShowsThePanel() {
        OpenedLog w;
        w.port.inputAnswers = {QStringLiteral("ERR"), QStringLiteral("ok"), {}};
        w.form.mnuEditFind.click();
        QCOMPARE(w.form.txtView.text(), QStringLiteral("ERR 2\r\nERR 4\r\n"));
        QCOMPARE(w.form.lblSerchWord.caption(), QStringLiteral("ERR"));
        QVERIFY(w.global.gblnViewSearchWord && w.form.mnuViewSearchWord.checked());
        // Answered again while the panel is shown: it stays shown.
        w.form.mnuEditFind.click();
        QVERIFY(w.form.fraSerchWord.visible());
        QCOMPARE(w.form.txtView.text(), QStringLiteral("ok 1\r\nok 3\r\n"));
        // Cancelled: all lines again, the panel stays, and the keyword is offered next time.
        w.form.mnuEditFind.click();
        QVERIFY(!w.global.gblnExtractMode && w.form.fraSerchWord.visible());
        QCOMPARE(w.form.lblSerchWord.caption(), QString());
        QVERIFY(w.form.txtView.text().startsWith(QStringLiteral("ok 1\r\nERR 2\r\n")));
        w.form.mnuEditFind.click();
        QCOMPARE(w.port.inputs.back().defaultAnswer, QStringLiteral("ok"));
    }

    // Over the whole read window, extraction finds every matching line it holds (the last as
    // many as the view shows), never the part of a line the window begins inside.
    void extractionOverTheReadWindow() {
        QByteArray log; // lines of 48 bytes; the 25 KB window begins inside line 467
        for (int i = 1; i <= 1000; ++i) {
            const QByteArray tag = i % 10 == 7 ? "ERROR" : "ok";
            log += 'L' + QByteArray::number(i).rightJustified(4, '0') +
                   QByteArray(42 - tag.size(), '.') + tag + '\n';
        }
        OpenedLog w(log);
        w.form.mnuOptionLineCount_Click(20);
        w.port.inputAnswers = {QStringLiteral("ERROR"), {}};
        w.form.mnuEditFind.click();
        QCOMPARE(shownLines(w.form).size(), 20); // among the lines shown
        w.form.mnuEditFindWhole.click();
        QCOMPARE(shownLines(w.form).size(), 53);
        QVERIFY(shownLines(w.form).first().startsWith("L0477."));
        QCOMPARE(w.form.lblSerchWord.caption(), QStringLiteral("ERROR（範囲全体）"));
        w.form.mnuEditFind.click();               // extraction off: the last lines again
        QCOMPARE(shownLines(w.form).size(), 199); // the last line feed ends the 200th
        QVERIFY(shownLines(w.form).first().startsWith("L0802."));
        QCOMPARE(w.form.lblSerchWord.caption(), QString());
    }

    void extractionFoldsWidthAndKana() {
        OpenedLog w("ok\nｴﾗｰ 1\nエラー 2\nえらー 3\n");
        w.port.inputAnswers = {QStringLiteral("エラー")};
        w.form.mnuEditFind.click();
        QCOMPARE(shownLines(w.form), QStringList{"エラー 2"});
        w.form.mnuEditFindIgnoreWidth.click();
        QCOMPARE(shownLines(w.form), (QStringList{"ｴﾗｰ 1", "エラー 2"}));
        w.form.mnuEditFindIgnoreKana.click();
        QCOMPARE(shownLines(w.form).size(), 3);
        QCOMPARE(w.form.lblSerchWord.caption(), QStringLiteral("エラー（全半無視・かな無視）"));
        QCOMPARE(w.form.lblSerchWord.toolTip().count(u'\n'), 2);
    }
};

QTEST_GUILESS_MAIN(FormRenderTest)
#include "tst_frmMainRender.moc"
