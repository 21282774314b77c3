// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "TailOracle.h"
#include "core/TailReader.h"
#include "platform/System.h"
#include "platform/TextCodec.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>
#include <cerrno>
#include <cstring>
#ifdef Q_OS_WIN
#include "platform/win/Windows.h"
#else
#include "PlainUser.h"

#include <unistd.h>
#endif

// What the window does when the watched file is changed under it in the ways other programs
// change log files, or is something that cannot be read at all.
namespace {

struct Window : LoadedForm {
#ifdef Q_OS_WIN
    Window() {
        form.mnuOptionNewLineType_Click(2);
    } // the logs here end their lines in LF
#endif
    // Opens the file and starts monitoring, as the user would.
    void watch(const QString& path) {
        form.OpenWatchedFile(path);
        form.mnuMonitorStart.click();
    }
    QString tail() const {
        return form.watchState().mstrTailText;
    }
    bool monitoring() const {
        return form.timFileCheck.enabled();
    }
};

// What the window shows of a small file at its reset line count and buffer size.
QString lastLines(const QByteArray& bytes) {
    return QString::fromUtf8(bytewiseTail(bytes, bytes.size(), 20, 25));
}

const QByteArray Old = numberedLines(1, 30);

// Runs the command in the folder as another program would: sh here, cmd.exe on Windows.
int runIn(const QString& folder, const QString& command) {
#ifdef Q_OS_WIN
    QProcess cmd;
    cmd.setWorkingDirectory(folder);
    cmd.start(QStringLiteral("cmd"), {QStringLiteral("/c"), command});
    return cmd.waitForFinished(60000) ? cmd.exitCode() : -1;
#else
    return QProcess::execute("sh", {"-c", "cd \"$0\" && " + command, folder});
#endif
}

// How the system words an error.
QString reason(int error) {
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(platform::win::systemCategory().message(error));
#else
    return QString::fromLocal8Bit(std::strerror(error));
#endif
}

} // namespace

class WatchFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The next poll shows the bytes the file holds now, never remembered or cut ones; or it
    // stops monitoring with the system's reason; or, with nothing to read, empties the view.
    void fileChangedBetweenPolls_data() {
        QTest::addColumn<QString>("shell"); // run in the log's folder
        QTest::addColumn<int>("error");     // of the message; 0: none
#ifdef Q_OS_WIN
        // Another program changes the file, with the sharing it asks for when it opens it.
        QTest::newRow("replaced") << "echo new>next && move /y next app.log" << 0;
        QTest::newRow("appended") << "echo new>>app.log" << 0;
        QTest::newRow("emptied") << "type nul >app.log" << 0;
        QTest::newRow("renamed away") << "ren app.log old.log" << int(ERROR_FILE_NOT_FOUND);
        QTest::newRow("deleted") << "del app.log" << int(ERROR_FILE_NOT_FOUND);
        QTest::newRow("folder") << "del app.log && mkdir app.log" << 336; // not for folders
        return;
#endif
        QTest::newRow("renamed over: same length and time stamp")
            << "sed s/line/LINE/ app.log >next && touch -r app.log next && mv next app.log" << 0;
        QTest::newRow("emptied") << ": >app.log" << 0;
        QTest::newRow("emptied and grown longer") << "seq -f 'new %g' 50 >app.log" << 0;
        QTest::newRow("cut mid-line, then appended")
            << "truncate -s 100 app.log && seq -f 'new %g' 4 >>app.log" << 0;
        QTest::newRow("file without read permission")
            << "echo new >>app.log && chmod 0 app.log" << EACCES;
        QTest::newRow("folder without search permission") << "chmod 0 ." << EACCES;
        QTest::newRow("folder") << "rm app.log && mkdir app.log" << EISDIR;
        QTest::newRow("dangling link") << "rm app.log && ln -s gone app.log" << ENOENT;
        QTest::newRow("FIFO") << "rm app.log && mkfifo app.log" << 0;
        QTest::newRow("endless device") << "ln -sf /dev/zero app.log" << 0;
        QTest::newRow("sparse, lines across 4 GiB")
            << "truncate -s 4294967200 app.log && seq -f 'far %g' 30 >>app.log" << 0;
    }
    void fileChangedBetweenPolls() {
        QFETCH(QString, shell);
        QFETCH(int, error);
        Window w;
        QVERIFY(QDir().mkdir("logs"));
        const QString path = w.dir.write("logs/app.log", Old);
        w.watch(path);
        QCOMPARE(runIn(w.dir.path("logs"), shell), 0);
#ifdef Q_OS_WIN
        w.form.timFileCheck_Timer();
#else
        {
            PlainUser user(w.dir.path({}));
            REQUIRE_MODES(user);
            w.form.timFileCheck_Timer();
        }
        ::chmod("logs", 0755);
#endif
        // The last 64 KiB hold all that the window shows.
        QFile file(path);
        const qint64 size = QFileInfo(path).isFile() ? file.size() : 0;
        const QByteArray now =
            size > 0 && file.open(QIODevice::ReadOnly) && file.seek(std::max(0LL, size - 65536))
                ? file.readAll()
                : "";
        QCOMPARE(w.port.messages.size(), std::size_t(error != 0 ? 1 : 0));
        QCOMPARE(w.monitoring(), error == 0);
        QCOMPARE(w.tail(), lastLines(error != 0 ? Old : now));
        if (error != 0) {
            QCOMPARE(w.port.messages.front().prompt, reason(error));
            QVERIFY(w.form.mnuMonitorStart.enabled() && !w.form.watchState().mblnReading);
        } else {
            QCOMPARE(w.form.txtView.text().isEmpty(), size == 0);
            QCOMPARE(w.form.lblFileLen.caption(), formatFileLen(size));
            // Swapped in between the length query and the read, a FIFO or device is not
            // waited on or read.
            QCOMPARE(platform::readAt(path, size - now.size(), now.size() + 100), now);
        }
    }

    // The length was queried before the file changed: the read shows what it found, no more.
    // A 1 KiB window (plus one byte) at the end of 8000 bytes of a file that grew, shrank
    // mid-line inside the window, or shrank to before it.
    void lengthChangedBeforeTheRead() {
        TempWorkDir dir;
        for (const int lengthAtRead : {16000, 7503, 5000}) {
            const QByteArray bytes = numberedLines(1, 2000).first(lengthAtRead);
            const TailBytes tail = readTail(dir.write("app.log", bytes), 8000, 10, 1);
            QCOMPARE(tail.window, bytes.mid(8000 - 1025, 1025));
            QCOMPARE(tail.shown().toByteArray(), bytewiseTail(bytes, 8000, 10, 1));
        }
    }

    // The last 25 KiB and one byte start one byte into a character of three bytes ("あ"); other
    // bytes that are no text are kept, as the replacement character, not dropped.
    void oddBytesAreKept() {
        if (platform::systemCodeSet() != "UTF-8") {
            QSKIP("bytes that are no text in any encoding are read in the locale's: here UTF-8");
        }
        Window w;
        const QByteArray file =
            QStringLiteral("あ").toUtf8().repeated(10000) + "x\0\xFF\xFEy\n"_qba;
        w.form.OpenWatchedFile(w.dir.write("odd.log", file));
        QVERIFY(w.port.messages.empty());
        QCOMPARE(w.form.txtView.text(), QStringLiteral("あ").repeated(8531) +
                                            QString::fromUtf16(u"x\0\uFFFD\uFFFDy\r\n\r\n", 9));
    }

    // A share that stops answering holds the window once, for a moment, and not again until it
    // answers.
    void shareThatStopsAnsweringHoldsTheWindowOnce() {
#ifndef HANGFS
        QSKIP("built without libfuse3");
#else
        Window w;
        const QString log = w.dir.path("mnt/app.log");
        QVERIFY(QDir().mkdir("mnt"));
        w.dir.write("backing.log", Old);
        QProcess fs;
        // Every lookup and stat reaches it: the kernel keeps no answer.
        fs.start(QStringLiteral(HANGFS),
                 {w.dir.path("backing.log"), "-f", "-o",
                  "entry_timeout=0,negative_timeout=0,attr_timeout=0", w.dir.path("mnt")});
        // Unmounted on every way out, released first so that no call stays stuck in it.
        const auto unmount = qScopeGuard([&] {
            QFile::remove("backing.log.hang");
            fs.terminate();
            if (!fs.waitForFinished(5000)) {
                QProcess::execute("fusermount3", {"-u", "-z", w.dir.path("mnt")});
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log) || fs.state() == QProcess::NotRunning, 10000);
        if (!QFile::exists(log)) {
            QSKIP(qPrintable("cannot mount a FUSE file system: " + fs.readAllStandardError()));
        }
        w.watch(log);
        QCOMPARE(w.tail(), lastLines(Old));

        w.dir.write("backing.log.hang", {});
        w.dir.append("backing.log", "new\n");
        QElapsedTimer clock;
        clock.start();
        w.form.timFileCheck_Timer();
        QVERIFY2(clock.restart() < 5000, "the first check waited past its budget");
        w.form.timFileCheck_Timer();
        QVERIFY(!frmMain::FileExists(log));
        QVERIFY2(clock.restart() < 1000, "a check waited again on the stuck share");
        QCOMPARE(w.tail(), lastLines(Old));
        QVERIFY(w.port.messages.empty() && w.monitoring());
        w.form.Form_QueryUnload();
        QVERIFY(clock.elapsed() < 4000); // the share holds a call for 8 s
        QFile ini(QStringLiteral("Logwarden.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly) && ini.readAll().contains(QFile::encodeName(log)));

        QFile::remove("backing.log.hang");
        QTRY_COMPARE((w.form.timFileCheck_Timer(), w.tail()), lastLines(Old + "new\n"));
        // One that answers, but each time slower than the window waits: the news comes all the
        // same, and no check holds the window for it.
        w.dir.write("backing.log.slow", {});
        w.dir.append("backing.log", "slow\n");
        qint64 longest = 0;
        const auto tick = [&] {
            clock.restart();
            w.form.timReadPending_Timer();
            w.form.timFileCheck_Timer();
            longest = std::max(longest, clock.elapsed());
            return w.tail();
        };
        QTRY_COMPARE_WITH_TIMEOUT(tick(), lastLines(Old + "new\nslow\n"), 30000);
        QVERIFY2(longest < 1000, "a check waited for the slow share");
        QFile::remove("backing.log.slow");
        // A share that answers with an error is no stall.
        QVERIFY(QFile::remove("backing.log"));
        QTRY_VERIFY((w.monitoring() ? w.form.timFileCheck_Timer() : void(), !w.monitoring()));
        QCOMPARE(w.port.messages.size(), std::size_t(1));
        QCOMPARE(w.port.messages.front().prompt, QString::fromLocal8Bit(std::strerror(ENOENT)));
#endif
    }
};

QTEST_GUILESS_MAIN(WatchFaultsTest)
#include "tst_watchfaults.moc"
