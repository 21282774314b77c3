// SPDX-License-Identifier: MIT
#include "TempFiles.h"
#include "platform/System.h"

#ifdef Q_OS_WIN
#include "platform/win/Windows.h"

#include <QProcess>
#else
#include <sys/stat.h>
#endif

class SystemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileExistsOnlyForRegularFiles() {
        TempWorkDir dir;
        dir.write("app.log", "x");
        dir.write(".xsession-errors", "x");
#ifdef Q_OS_WIN
        // A hidden file is missing, as a folder listing without hidden files does not show it.
        dir.write("hidden.log", "x");
        QVERIFY(::SetFileAttributesW(dir.path("hidden.log").toStdWString().c_str(),
                                     FILE_ATTRIBUTE_HIDDEN) != 0);
        const auto names = {"app.log", ".xsession-errors", "missing",
                            ".",       "hidden.log",       "\\\\.\\NUL"};
        const char* const expected = "110000";
#else
        QVERIFY(QFile::link(dir.path("app.log"), dir.path("link")));
        QVERIFY(QFile::link(dir.path("gone"), dir.path("dangling")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.path("fifo")).constData(), 0600), 0);
        const auto names = {"app.log", ".xsession-errors", "link", "missing",
                            ".",       "dangling",         "fifo", "/dev/null"};
        const char* const expected = "11100000";
#endif
        QString exists;
        for (const char* name : names) {
            exists += logwarden::platform::isRegularFile(dir.path(name)) ? '1' : '0';
        }
        QCOMPARE(exists, expected);
        QVERIFY(!logwarden::platform::isRegularFile({}));
    }

#ifdef Q_OS_WIN
    // While the file is open for a read, another program appends to it, renames or deletes it.
    void othersChangeTheFileWhileItIsRead_data() {
        QTest::addColumn<QString>("command"); // for cmd.exe, in the log's folder
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("bytes"); // of the first of them
        QTest::newRow("appended") << "echo new>>app.log" << QStringList{"app.log"}
                                  << "old\r\nnew\r\n"_qba;
        QTest::newRow("renamed") << "ren app.log old.log" << QStringList{"old.log"}
                                 << "old\r\n"_qba;
        QTest::newRow("deleted") << "del app.log" << QStringList{} << QByteArray();
    }
    void othersChangeTheFileWhileItIsRead() {
        QFETCH(QString, command);
        QFETCH(QStringList, files);
        QFETCH(QByteArray, bytes);
        TempWorkDir dir;
        const QString path = dir.write("app.log", "old\r\n");
        {
            const logwarden::platform::win::Handle reading(
                logwarden::platform::win::openShared(path, GENERIC_READ));
            QVERIFY(reading.isOpen());
            QProcess cmd;
            cmd.setWorkingDirectory(dir.path({}));
            cmd.start(QStringLiteral("cmd"), {QStringLiteral("/c"), command});
            QVERIFY(cmd.waitForFinished(60000) && cmd.exitCode() == 0);
        }
        const QDir folder(dir.path({}));
        QCOMPARE(folder.entryList(QDir::Files), files);
        if (!files.isEmpty()) {
            QFile file(folder.filePath(files.front()));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), bytes);
        }
    }

    // A program path with a blank is quoted, or the system would start another program, given
    // the rest of the path as arguments. Both are copies of this test, which write down what
    // they were given (see main).
    void startedProgramPathIsQuoted() {
        TempWorkDir dir;
        QVERIFY(QDir().mkdir(QStringLiteral("bin dir")));
        const QString program = dir.path("bin dir/tst_system.exe");
        // What the system would start for the path cut at its blank.
        for (const QString& copy : {program, dir.path("bin.exe")}) {
            QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        }
        logwarden::platform::startDetached(program, {"--started", "\"a b.log\""},
                                           logwarden::platform::StartShow::Normal);
        QFile started(dir.path("started.txt"));
        QTRY_VERIFY(started.size() > 0);
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(started.readAll(), "--started \"a b.log\"");
    }
#endif
};

#ifdef Q_OS_WIN
int main(int argc, char** argv) {
    // A copy that startedProgramPathIsQuoted started: writes down what it was given.
    if (const QString given = logwarden::platform::argumentText(argc, argv);
        given.contains(QLatin1String("--started"))) {
        QFile out(QStringLiteral("started.tmp"));
        const bool written = out.open(QIODevice::WriteOnly) && out.write(given.toUtf8()) > 0;
        out.close();
        return written && out.rename(QStringLiteral("started.txt")) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    SystemTest test;
    return QTest::qExec(&test, argc, argv);
}
#else
QTEST_GUILESS_MAIN(SystemTest)
#endif
#include "tst_system.moc"
