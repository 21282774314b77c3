// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "core/TailRender.h"

#include <QtTest>

class RenderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rendersTheTail_data();
    void rendersTheTail();
    void extractionCommandFiltersAndShowsThePanel_data();
    void extractionCommandFiltersAndShowsThePanel();
    void cancellingExtractionKeepsTheKeywordForNextTime();
    void newLineTypeFallsBackToThePlatformsOwn_data();
    void newLineTypeFallsBackToThePlatformsOwn();
    void copyTakesTheWholeRenderedText();
};

void RenderTest::rendersTheTail_data() {
    QTest::addColumn<QString>("tail");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("extract");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("expected");

    const QString crlf = QStringLiteral("\r\n");
    const QString lf = QStringLiteral("\n");
    QTest::newRow("CRLF tail, CRLF type: empty last line") << "a\r\nb\r\n"
                                                           << crlf << false << ""
                                                           << "a\r\nb\r\n\r\n";
    QTest::newRow("CRLF tail, LF type: CR kept in pieces") << "a\r\nb\r\n"
                                                           << lf << false << ""
                                                           << "a\r\r\nb\r\r\n\r\n";
    QTest::newRow("LF tail, CRLF type: one piece") << "a\nb\n"
                                                   << crlf << false << ""
                                                   << "a\nb\n\r\n";
    QTest::newRow("empty tail, extraction off") << "" << crlf << false << ""
                                                << "\r\n";
    QTest::newRow("empty tail, extraction on") << "" << crlf << true << "x"
                                               << "";
    QTest::newRow("case-sensitive substring") << "ERR 1\nerr 2\nxERRx\n"
                                              << lf << true << "ERR"
                                              << "ERR 1\r\nxERRx\r\n";
    QTest::newRow("full and half width differ") << "ＥＲＲ\nERR\n"
                                                << lf << true << "ERR"
                                                << "ERR\r\n";
    QTest::newRow("no line matches: nothing at all") << "a\nb\n"
                                                     << lf << true << "zz"
                                                     << "";
    QTest::newRow("keyword spaces are part of it") << "a b\nab\n"
                                                   << lf << true << " b"
                                                   << "a b\r\n";
    QTest::newRow("separators in a row keep empty pieces") << "\n\nx" << lf << false << ""
                                                           << "\r\n\r\nx\r\n";
    // One line of the file is one line of the view, and nothing in it can reorder the rest.
    QTest::newRow("CR inside a line, LF type")
        << "a\rb\r\nc\n"
        << lf << false << "" << QString::fromUtf16(u"a\u240Db\r\r\nc\r\n\r\n");
    QTest::newRow("separators, overrides, escapes")
        << QString::fromUtf16(u"x\u2028y\u2029\u202Ez\u2066\x1b[1m\t.\n") << lf << false << ""
        << QString::fromUtf16(u"x<U+2028>y<U+2029><U+202E>z<U+2066>\u241B[1m\t.\r\n\r\n");
    QTest::newRow("empty separator does not hang") << "a\nb"
                                                   << "" << false << ""
                                                   << "a\nb\r\n";
}

void RenderTest::rendersTheTail() {
    QFETCH(QString, tail);
    QFETCH(QString, separator);
    QFETCH(bool, extract);
    QFETCH(QString, keyword);
    QFETCH(QString, expected);
    QCOMPARE(renderTail(tail, separator, extract, keyword), expected);
}

namespace {

// A log opened with the default settings.
struct Window : LoadedForm {
    explicit Window(const QByteArray& lineEnd = "\n") {
        form.OpenWatchedFile(
            dir.write("app.log", QByteArray("ok 1\nERR 2\nok 3\nERR 4\n").replace("\n", lineEnd)));
    }
};

} // namespace

void RenderTest::extractionCommandFiltersAndShowsThePanel_data() {
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<QString>("lineEndShown"); // a CR before the CR LF is drawn as nothing
    QTest::newRow("LF log") << QByteArray("\n") << "\r\n";
    QTest::newRow("CR LF log") << QByteArray("\r\n") << "\r\r\n";
}

void RenderTest::extractionCommandFiltersAndShowsThePanel() {
    QFETCH(QByteArray, lineEnd);
    QFETCH(QString, lineEndShown);
    Window w(lineEnd);
    QVERIFY(!w.global.gblnViewSearchWord);
    w.port.inputAnswers.push_back(QStringLiteral("ERR"));
    w.form.mnuEditFind.click();
    QCOMPARE(w.port.inputs.back().prompt,
             QStringLiteral("行を抽出するキーワードを入力してください。"));
    QCOMPARE(w.port.inputs.back().title, QStringLiteral("抽出キーワード入力"));
    QCOMPARE(w.form.txtView.text(), "ERR 2" + lineEndShown + "ERR 4" + lineEndShown);
    QCOMPARE(w.form.lblSerchWord.caption(), QStringLiteral("ERR"));
    QVERIFY(w.global.gblnViewSearchWord);
    QVERIFY(w.form.mnuViewSearchWord.checked());
    QVERIFY(w.form.fraSerchWord.visible());

    // Answered again while the panel is shown: it stays shown.
    w.port.inputAnswers.push_back(QStringLiteral("ok"));
    w.form.mnuEditFind.click();
    QVERIFY(w.form.fraSerchWord.visible());
    QCOMPARE(w.form.txtView.text(), "ok 1" + lineEndShown + "ok 3" + lineEndShown);
}

void RenderTest::cancellingExtractionKeepsTheKeywordForNextTime() {
    Window w;
    w.port.inputAnswers.push_back(QStringLiteral("ERR"));
    w.form.mnuEditFind.click();
    w.form.mnuEditFind.click(); // cancelled: the fake answers empty
    QVERIFY(!w.global.gblnExtractMode);
    QCOMPARE(w.form.lblSerchWord.caption(), QString());
    QVERIFY(w.form.fraSerchWord.visible());
    QCOMPARE(w.form.txtView.text(), QStringLiteral("ok 1\r\nERR 2\r\nok 3\r\nERR 4\r\n\r\n"));
    w.form.mnuEditFind.click();
    QCOMPARE(w.port.inputs.back().defaultAnswer, QStringLiteral("ERR"));
}

void RenderTest::newLineTypeFallsBackToThePlatformsOwn_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("separator");
    QTest::newRow("CRLF") << 1 << 1 << "\r\n";
    QTest::newRow("LF") << 2 << 2 << "\n";
    QTest::newRow("missing key") << 0 << 2 << "\n";
    QTest::newRow("unknown index") << 3 << 2 << "\n";
}

void RenderTest::newLineTypeFallsBackToThePlatformsOwn() {
    QFETCH(int, index);
    QFETCH(int, stored);
    QFETCH(QString, separator);
    Window w;
    w.form.mnuOptionNewLineType_Click(index);
    QCOMPARE(int(w.global.gintTypeReturnCode), stored);
    QCOMPARE(w.global.gstrReturnCode, separator);
    QCOMPARE(w.form.mnuOptionNewLineType[1].checked(), stored == 1);
    QCOMPARE(w.form.mnuOptionNewLineType[2].checked(), stored == 2);
}

void RenderTest::copyTakesTheWholeRenderedText() {
    Window w;
    w.form.mnuEditCopy.click();
    QCOMPARE(w.port.clipboard, QStringLiteral("ok 1\r\nERR 2\r\nok 3\r\nERR 4\r\n\r\n"));
}

QTEST_GUILESS_MAIN(RenderTest)
#include "tst_render.moc"
