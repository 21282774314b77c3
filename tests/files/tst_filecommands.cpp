// SPDX-License-Identifier: MIT
#include "LoadedForm.h"

#include <QtTest>

using Answer = PlatformPort::MsgAnswer;

class FileCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openCommandStates_data();
    void openCommandStates();
    void openDialogRecord();
    void drops_data();
    void drops();
    void newWindow_data();
    void newWindow();
};

void FileCommandsTest::openCommandStates_data() {
    QTest::addColumn<bool>("monitoring");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("choose");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("dialogShown");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("pollingAfter");
    QTest::newRow("idle, chosen") << false << QList<Answer>{} << true << false << true << true
                                  << false;
    QTest::newRow("idle, cancelled")
        << false << QList<Answer>{} << false << false << true << false << false;
    QTest::newRow("monitoring, Yes, chosen")
        << true << QList<Answer>{Answer::Yes} << true << true << true << true << false;
    QTest::newRow("monitoring, Yes, cancelled")
        << true << QList<Answer>{Answer::Yes} << false << true << true << false << false;
    QTest::newRow("monitoring, No")
        << true << QList<Answer>{Answer::No} << true << true << false << false << true;
}

void FileCommandsTest::openCommandStates() {
    QFETCH(bool, monitoring);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, choose);
    QFETCH(bool, asked);
    QFETCH(bool, dialogShown);
    QFETCH(bool, opened);
    QFETCH(bool, pollingAfter);
    TempWorkDir dir;
    const QString first = dir.write("first.log", "one\n");
    const QString second = dir.write("second.log", "two\n");
    StartedForm w(first);
    if (monitoring) {
        w.form.mnuMonitorStart.click();
    }
    w.port.msgAnswers.assign(answers.begin(), answers.end());
    if (choose) {
        w.port.dialogAnswers.push_back({second});
    }

    w.form.mnuFileOpen.click();

    QCOMPARE(w.port.messages.size(), std::size_t(asked ? 1 : 0));
    if (asked) {
        QCOMPARE(w.port.messages[0].prompt, QStringLiteral("モニタリング中です、解除しますか？"));
        QCOMPARE(w.port.messages[0].buttons, PlatformPort::MsgButtons::YesNo);
    }
    QCOMPARE(w.port.dialogs.size(), std::size_t(dialogShown ? 1 : 0));
    QCOMPARE(w.form.watchState().mstrFilePath, opened ? second : first);
    QCOMPARE(w.form.txtView.text().contains(QStringLiteral("two")), opened);
    QCOMPARE(w.form.timFileCheck.enabled(), pollingAfter);
    QCOMPARE(w.form.mnuMonitorStop.enabled(), pollingAfter);
    QCOMPARE(w.form.window.caption().endsWith(QStringLiteral(" - 監視中")), pollingAfter);
}

void FileCommandsTest::openDialogRecord() {
    TempWorkDir dir;
    StartedForm w;
    w.form.mnuFileOpen.click(); // cancelled, before any file was chosen
    QVERIFY(w.form.mnuMonitorStart.enabled());

    QCOMPARE(w.port.dialogs.size(), std::size_t(1));
    const auto& [function, record] = w.port.dialogs[0];
    QCOMPARE(function, PlatformPort::FileDialog::Open);
    QCOMPARE(record.hwndOwner, w.port.handle);
    QCOMPARE(record.Flags, 0x81805u);
    QCOMPARE(record.lpstrFilter, QByteArrayLiteral("すべてのファイル (*.*)\0*.*;\0\0"));
    QCOMPARE(record.lpstrInitialDir, QFile::encodeName(QDir::currentPath()));
    QCOMPARE(QString::fromUtf8(record.lpstrTitle), QStringLiteral("ファイルを開く"));
    QVERIFY(record.lpstrDefExt.isNull());
}

void FileCommandsTest::drops_data() {
    QTest::addColumn<bool>("fileList");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("opens");
    QTest::newRow("one file") << true << QStringList{"new.log"} << true;
    QTest::newRow("the watched file again") << true << QStringList{"app.log"} << true;
    QTest::newRow("two files") << true << QStringList{"new.log", "app.log"} << false;
    QTest::newRow("no files") << true << QStringList{} << false;
    QTest::newRow("a folder") << true << QStringList{"sub"} << false;
    QTest::newRow("a missing file") << true << QStringList{"gone.log"} << false;
    QTest::newRow("not a file list") << false << QStringList{"new.log"} << false;
}

void FileCommandsTest::drops() {
    QFETCH(bool, fileList);
    QFETCH(QStringList, names);
    QFETCH(bool, opens);
    TempWorkDir dir;
    const QString watched = dir.write("app.log", "old\n");
    dir.write("new.log", "new\n");
    QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("sub")));
    StartedForm w(watched);
    w.form.mnuMonitorStart.click();
    dir.append("app.log", "appended\n"); // a re-read of the watched file shows this
    DropData drop{fileList, {}};
    for (const QString& name : names) {
        drop.files << dir.path(name);
    }
    const auto revision = w.form.txtView.textRevision();

    w.form.Form_OLEDragDrop(drop);

    QVERIFY(w.port.messages.empty()); // no question even while monitoring
    QCOMPARE(w.form.txtView.textRevision() != revision, opens);
    QCOMPARE(w.form.timFileCheck.enabled(), !opens);
    QCOMPARE(w.form.watchState().mstrFilePath, opens ? drop.files.first() : watched);
    QCOMPARE(w.port.focusCount, opens ? 1 : 0);
    if (opens) {
        QCOMPARE(w.form.window.caption(), frmMain::GetAppCaption());
        QCOMPARE(w.global.gstrRecentFiles[0], drop.files.first());
    }
}

void FileCommandsTest::newWindow_data() {
    QTest::addColumn<bool>("watching");
    QTest::addColumn<ui::WindowState>("state");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QString>("startError");
    QTest::newRow("no file, normal") << false << ui::WindowState::Normal << false << QString();
    QTest::newRow("file, maximised") << true << ui::WindowState::Maximized << true << QString();
    QTest::newRow("file, minimised counts as normal")
        << true << ui::WindowState::Minimized << false << QString();
    QTest::newRow("cannot start") << false << ui::WindowState::Normal << false
                                  << QStringLiteral("execv: Permission denied");
}

void FileCommandsTest::newWindow() {
    QFETCH(bool, watching);
    QFETCH(ui::WindowState, state);
    QFETCH(bool, maximized);
    QFETCH(QString, startError);
    TempWorkDir dir;
    const QString path = dir.write("a b $(c);'d'.log", "x\n");
    StartedForm w(watching ? path : QString());
    w.port.startError = startError;
    w.form.window.reportGeometry(state, {}, {});
    w.form.mnuFileNew.click();
    QCOMPARE(w.port.started.size(), std::size_t(1));
    QCOMPARE(w.port.started[0].program, w.port.programPath);
    QCOMPARE(w.port.started[0].arguments,
             watching ? QStringList{u'"' + path + u'"'} : QStringList{});
    QCOMPARE(w.port.started[0].maximized, maximized);
    if (startError.isEmpty()) {
        QVERIFY(w.port.messages.empty());
    } else {
        QCOMPARE(w.port.messages.size(), std::size_t(1));
        QVERIFY(w.port.messages[0].prompt.endsWith(u'\n' + startError));
        QCOMPARE(w.port.messages[0].icon, PlatformPort::MsgIcon::Critical);
    }
}

QTEST_GUILESS_MAIN(FileCommandsTest)
#include "tst_filecommands.moc"
