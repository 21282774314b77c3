// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "core/CommandLine.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultsWithoutSettingsFile();
    void commandLinePath_data();
    void commandLinePath();
    void commandLineReply_data();
    void commandLineReply();
    void commandLineOpensAnExistingFile_data();
    void commandLineOpensAnExistingFile();
    void unusableCommandLineLeavesNoFile_data();
    void unusableCommandLineLeavesNoFile();
    void fileExistsOnlyForRegularFiles();
    void closeTakesTheWindowOffTheTop();
};

void StartupTest::defaultsWithoutSettingsFile() {
    LoadedForm w;
    const frmMain& form = w.form;
    QCOMPARE(form.window.caption(), QStringLiteral("Logwarden (ver 1.1.0)"));
    QVERIFY(form.mnuViewTimestamp.checked() && form.mnuViewFilesize.checked());
    QVERIFY(form.mnuViewFilepath.checked() && form.mnuViewText.checked());
    QVERIFY(!form.mnuViewSearchWord.checked() && !form.mnuViewForward.checked());
    QCOMPARE(form.mnuOptionLineCount.firstChecked(), std::optional(2));
    QCOMPARE(form.mnuOptionBufferSize.firstChecked(), std::optional(1));
    QCOMPARE(form.mnuBGColorVal.firstChecked(), std::optional(1));
    QCOMPARE(form.mnuTextColorVal.firstChecked(), std::optional(1));
    QCOMPARE(form.mnuTextSizeValue.firstChecked(), std::optional(9));
    QCOMPARE(form.mnuOptionNewLineType.firstChecked(), std::optional(2));
    QCOMPARE(form.txtView.backColor(), (ui::Color{255, 255, 255}));
    QCOMPARE(form.txtView.foreColor(), (ui::Color{0, 0, 0}));
    QCOMPARE(form.txtView.fontSize(), 9);
    QCOMPARE(w.global.gintTypeReturnCode, short(2));
    QCOMPARE(form.window.windowState(), ui::WindowState::Normal);
    QVERIFY(!form.mnuMonitorStart.enabled() && !form.mnuMonitorStop.enabled());
    QVERIFY(!form.timFlash.enabled() && !form.timFileCheck.enabled());
    QVERIFY(form.mnuRecentList[0].visible());
    QVERIFY(!form.mnuRecentList[0].enabled());
    QCOMPARE(form.watchState().mlngLineCount, 20);
}

void StartupTest::commandLinePath_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/var/log/a b.log"
                           << "/var/log/a b.log";
    QTest::newRow("quoted") << "\"/var/log/a b.log\""
                            << "/var/log/a b.log";
    // A quote is a legal character of a name; only a pair around the whole text quotes.
    QTest::newRow("leading quote only") << "\"/x"
                                        << "\"/x";
    QTest::newRow("inner quote") << "/x\"y"
                                 << "/x\"y";
    QTest::newRow("quoted, with a quote inside") << "\"/x\"y\""
                                                 << "/x\"y";
    QTest::newRow("two quoted paths") << "\"/a\" \"/b\""
                                      << "/a\" \"/b";
    QTest::newRow("just a quote") << "\""
                                  << "\"";
    QTest::newRow("empty") << ""
                           << "";
}

void StartupTest::commandLinePath() {
    QFETCH(QString, text);
    QFETCH(QString, path);
    QCOMPARE(::commandLinePath(text), path);
}

void StartupTest::commandLineReply_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fileInFolder");
    QTest::addColumn<QString>("replyStart");
    QTest::newRow("help") << "--help"
                          << ""
                          << "使い方: logwarden [ファイル]\n";
    QTest::newRow("version") << "--version"
                             << ""
                             << "Logwarden 1.1.0\n";
    QTest::newRow("a file named --version") << "--version"
                                            << "--version"
                                            << "";
    QTest::newRow("more than the option") << "--help x"
                                          << ""
                                          << "";
}

void StartupTest::commandLineReply() {
    QFETCH(QString, text);
    QFETCH(QString, fileInFolder);
    QFETCH(QString, replyStart);
    TempWorkDir dir;
    if (!fileInFolder.isEmpty()) {
        dir.write(fileInFolder, "x\n");
    }
    const QString reply = ::commandLineReply(text);
    QCOMPARE(reply.left(replyStart.size()), replyStart);
    QCOMPARE(reply.isEmpty(), replyStart.isEmpty());
}

void StartupTest::commandLineOpensAnExistingFile_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("blanks") << QByteArray("with blank.log");
    QTest::newRow("a name that is not UTF-8") << QByteArray("caf\xe9 ログ.log");
}

void StartupTest::commandLineOpensAnExistingFile() {
    QFETCH(QByteArray, name);
    TempWorkDir dir;
    const QString path = dir.writeNamed(name, numberedLines(1, 3));
    modGlobal global;
    FakePort port;
    // The arguments a shell would split are joined back into the one path.
    frmMain form(global, port, joinArguments(path.split(QLatin1Char(' '))));
    form.Form_Load();
    QCOMPARE(form.watchState().mstrFilePath, path);
    QCOMPARE(form.lblFilePath.caption(), path);
    QCOMPARE(form.window.caption(), frmMain::GetAppCaption());
    QVERIFY(form.mnuMonitorStart.enabled());
    QVERIFY(!form.timFileCheck.enabled());
    QCOMPARE(global.gstrRecentFiles[0], path);
    QVERIFY(form.txtView.text().contains(QStringLiteral("line 3")));
}

void StartupTest::unusableCommandLineLeavesNoFile_data() {
    QTest::addColumn<QString>("argument");
    QTest::newRow("missing file") << "missing.log";
    QTest::newRow("folder") << ".";
    QTest::newRow("two quoted paths") << "\"app.log\" \"app.log\"";
}

void StartupTest::unusableCommandLineLeavesNoFile() {
    QFETCH(QString, argument);
    TempWorkDir dir;
    dir.write("app.log", "x\n");
    modGlobal global;
    FakePort port;
    frmMain form(global, port, argument);
    form.Form_Load();
    QVERIFY(form.watchState().mstrFilePath.isEmpty());
    QVERIFY(!form.mnuMonitorStart.enabled());
    QVERIFY(port.messages.empty());
}

void StartupTest::fileExistsOnlyForRegularFiles() {
    TempWorkDir dir;
    const QString file = dir.write("app.log", "x");
    const QString dotFile = dir.write(".xsession-errors", "x");
    QVERIFY(frmMain::FileExists(file));
    QVERIFY(frmMain::FileExists(dotFile));
    QVERIFY(!frmMain::FileExists(dir.path("missing")));
    QVERIFY(!frmMain::FileExists(dir.path(".")));
    QVERIFY(!frmMain::FileExists({}));
    QVERIFY(QFile::link(file, dir.path("link")));
    QVERIFY(frmMain::FileExists(dir.path("link")));
    QVERIFY(QFile::link(dir.path("gone"), dir.path("dangling")));
    QVERIFY(!frmMain::FileExists(dir.path("dangling")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.path("fifo")).constData(), 0600), 0);
    QVERIFY(!frmMain::FileExists(dir.path("fifo")));
    QVERIFY(!frmMain::FileExists(QStringLiteral("/dev/null")));
}

void StartupTest::closeTakesTheWindowOffTheTop() {
    LoadedForm w;
    w.form.mnuViewForward.click();
    QCOMPARE(w.port.forwardCalls.back(), true);
    w.form.Form_QueryUnload();
    QCOMPARE(w.port.forwardCalls.back(), false);
    QVERIFY(w.global.gblnModeWindowForward);
}

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
