// SPDX-License-Identifier: MIT
#include "LoadedForm.h"

namespace {} // namespace

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
};

QTEST_GUILESS_MAIN(FormRenderTest)
#include "tst_frmMainRender.moc"
