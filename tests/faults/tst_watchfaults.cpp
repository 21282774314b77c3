// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "PlainUser.h"
#include "TailOracle.h"
#include "core/TailReader.h"
#include "platform/FileSystem.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QtTest>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <thread>
#include <unistd.h>

// What the window does when the watched file is changed under it in the ways other programs
// change log files, or is something that cannot be read at all.
namespace {

struct Window : LoadedForm {
    // Opens the file and starts monitoring, as the user would.
    void watch(const QString& path) {
        form.OpenWatchedFile(path);
        form.mnuMonitorStart.click();
    }
    // A missing file is given five ticks to come back.
    void tickWhileMonitoring() {
        for (int tick = 0; tick < 6 && monitoring(); ++tick) {
            form.timFileCheck_Timer();
        }
    }
    QString tail() const { return form.watchState().mstrTailText; }
    bool monitoring() const { return form.timFileCheck.enabled(); }
};

QByteArray encoded(const char* encoding, const QString& text) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// "<tag> 1\n" ... "<tag> n\n".
QByteArray taggedLines(const QByteArray& tag, int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        bytes += tag + ' ' + QByteArray::number(i) + '\n';
    }
    return bytes;
}

// What the window shows of a small file at its reset line count and buffer size.
QString lastLines(const QByteArray& bytes) {
    return QString::fromUtf8(bytewiseTail(bytes, bytes.size(), 20, 25));
}

} // namespace

class WatchFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The watched file is changed under the window as other programs change logs, or turns
    // into something that cannot be read. The next poll shows the bytes the file holds now,
    // never remembered or cut ones; or it stops monitoring with the system's reason; or,
    // where there is nothing to read, it empties the view in silence.
    void fileChangedBetweenPolls_data() {
        QTest::addColumn<QString>("shell"); // run in the log's folder
        QTest::addColumn<int>("error");     // of the message; 0: none
        QTest::newRow("renamed over: same length and time stamp")
            << "sed s/old/new/ app.log >next && touch -r app.log next && mv next app.log" << 0;
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
    }
    void fileChangedBetweenPolls() {
        QFETCH(QString, shell);
        QFETCH(int, error);
        Window w;
        QVERIFY(QDir().mkdir("logs"));
        const QByteArray old = taggedLines("old", 30);
        const QString path = w.dir.write("logs/app.log", old);
        w.watch(path);
        QCOMPARE(QProcess::execute("sh", {"-c", "cd logs && " + shell}), 0);
        {
            PlainUser user(w.dir.path({}));
            QVERIFY2(user.modesApply(), "cannot give up root's rights over file modes");
            w.tickWhileMonitoring();
        }
        ::chmod("logs", 0755);
        QFile file(path);
        const QByteArray now =
            QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "";
        QCOMPARE(w.port.messages.size(), std::size_t(error != 0 ? 1 : 0));
        QCOMPARE(w.monitoring(), error == 0);
        if (error != 0) {
            QCOMPARE(w.port.messages.front().prompt, systemText(error));
            QVERIFY(w.form.mnuMonitorStart.enabled() && !w.form.watchState().mblnReading);
            QCOMPARE(w.tail(), lastLines(old));
        } else {
            QCOMPARE(w.tail(), lastLines(now));
            QCOMPARE(w.form.txtView.text().isEmpty(), now.isEmpty());
            QCOMPARE(w.form.lblFileLen.caption(), formatFileLen(now.size()));
            // Swapped in between the length query and the read, a FIFO or device is not
            // waited on or read.
            QCOMPARE(platform::readAt(path, 0, now.size() + 100), now);
        }
    }

    // The length was queried before the file changed: the read shows what it found, no more.
    void lengthChangedBeforeTheRead_data() {
        QTest::addColumn<qint64>("lengthAtRead");
        QTest::newRow("grew") << qint64(16000);
        QTest::newRow("shrank mid-line, inside the window") << qint64(7503);
        QTest::newRow("shrank to before the window") << qint64(5000);
    }
    void lengthChangedBeforeTheRead() {
        QFETCH(qint64, lengthAtRead);
        TempWorkDir dir;
        QByteArray bytes;
        for (int i = 0; bytes.size() < lengthAtRead; ++i) {
            bytes += "l " + QByteArray::number(i).rightJustified(5, '0') + '\n';
        }
        bytes.truncate(lengthAtRead);
        // A 1 KiB window (plus one byte) at the end of 8000 bytes.
        const TailBytes tail = readTail(dir.write("app.log", bytes), 8000, 10, 1);
        QCOMPARE(tail.window, bytes.mid(8000 - 1025, 1025));
        QCOMPARE(tail.shown().toByteArray(), bytewiseTail(bytes, 8000, 10, 1));
    }

    void fileRewrittenDuringPollsShowsOnlyItsBytes() {
        Window w;
        const QString path = w.dir.write("app.log", "a\n");
        w.watch(path);
        // Every generation rewrites the file in place with one letter and line feeds, each
        // time to another length, so that any byte the window did not read (or took from its
        // own memory) shows as a foreign character.
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
            for (int generation = 0; !stop; ++generation) {
                const qsizetype size = 2000 + (generation % 1000) * 7919 % 60000;
                QByteArray bytes(size, char('a' + generation % 26));
                for (qsizetype i = 37; i < size; i += 41) {
                    bytes[i] = '\n';
                }
                if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, bytes.data(), size, 0) != size) {
                    break;
                }
            }
            ::close(fd);
        });
        int reads = 0;
        bool clean = true;
        QString previous;
        for (int polls = 0; clean && reads < 500 && polls < 1'000'000; ++polls) {
            w.form.timFileCheck_Timer();
            const QString& tail = w.tail();
            reads += tail == previous ? 0 : 1;
            previous = tail;
            clean = std::all_of(tail.begin(), tail.end(),
                                [](QChar c) { return c == u'\n' || (c >= u'a' && c <= u'z'); });
        }
        stop = true;
        writer.join();
        QVERIFY2(clean, qPrintable(QStringLiteral("foreign bytes in: ") + previous.left(200)));
        QCOMPARE(reads, 500);
        QVERIFY(w.port.messages.empty());
        QVERIFY(w.monitoring());
    }

    // Sparse up to just before 4 GiB, then lines that cross it.
    void tailAcrossLargeOffsets() {
        Window w;
        const QByteArray lines = taggedLines("far", 30);
        const qint64 hole = (qint64(1) << 32) - lines.size() / 2;
        QFile big(w.dir.path("big.log"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        if (!big.resize(hole)) {
            QSKIP("this file system cannot hold a sparse file this large");
        }
        QVERIFY(big.seek(hole) && big.write(lines) == lines.size());
        big.close();
        w.form.OpenWatchedFile(big.fileName());
        QCOMPARE(w.tail(), lastLines(lines));
        QCOMPARE(w.form.lblFileLen.caption(),
                 QLocale(QLocale::English).toString(hole + lines.size()) +
                     QStringLiteral(" byte "));
    }

    void oddBytesAreShownVisibly_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("view");
        const QString bad = QStringLiteral("\uFFFD");
        QTest::newRow("NUL, invalid UTF-8, surrogates")
            << QByteArray("a\0b\nx\xFF\xFEy\n\xED\xA0\x80\n", 13)
            << "a\u2400b\r\nx" + bad + bad + "y\r\n" + bad + bad + bad + "\r\n\r\n";
        const QString log =
            QStringLiteral("2024-03-05 14:07:09 エラー: 設定ファイルを開けません\n"
                           "2024-03-05 14:07:10 情報: 接続を回復しました（3 回目）\n");
        const QString shown = QString(log).replace(u'\n', QStringLiteral("\r\n"));
        for (const char* encoding : {"Shift_JIS", "EUC-JP"}) {
            QTest::addRow("%s log", encoding) << encoded(encoding, log) << shown + "\r\n";
        }
        QTest::newRow("UTF-8 and Shift_JIS lines")
            << log.toUtf8() + encoded("Shift_JIS", log) << shown + shown + "\r\n";
        // 25 KiB plus one byte starts one byte into a character of three bytes in UTF-8 ("あ"),
        // and into one of two bytes followed by a blank in the others ("あ ").
        for (const char* encoding : {"UTF-8", "Shift_JIS", "EUC-JP"}) {
            const QString unit = encoding[0] == 'U' ? QStringLiteral("あ") : QStringLiteral("あ ");
            const QByteArray bytes = encoded(encoding, unit);
            QTest::addRow("%s character cut at the window start", encoding)
                << bytes.repeated(30000 / bytes.size())
                << unit.mid(1) + unit.repeated((25 * 1024 + 1 - 2) / bytes.size()) + "\r\n";
        }
    }
    void oddBytesAreShownVisibly() {
        QFETCH(QByteArray, file);
        QFETCH(QString, view);
        Window w;
        w.form.OpenWatchedFile(w.dir.write("odd.log", file));
        QVERIFY(w.port.messages.empty());
        QCOMPARE(w.form.txtView.text(), view);
        w.form.mnuEditCopy.click();
        QCOMPARE(w.port.clipboard, view);
    }

    // A share that stops answering holds the window once, for about 2 s, and not again
    // until it answers.
    void shareThatStopsAnsweringHoldsTheWindowOnce() {
#ifndef HANGFS
        QSKIP("built without libfuse3");
#else
        if (::access("/dev/fuse", R_OK | W_OK) != 0) {
            QSKIP("no /dev/fuse to mount a file system with");
        }
        Window w;
        const QByteArray old = taggedLines("old", 30);
        const QString log = w.dir.path("mnt/app.log");
        QVERIFY(QDir().mkdir("mnt"));
        w.dir.write("backing.log", old);
        QProcess fs;
        fs.start(QStringLiteral(HANGFS), {w.dir.path("backing.log"), w.dir.path("mnt")});
        // Unmounted on every way out, released first so that no call stays stuck in it.
        const auto unmount = qScopeGuard([&] {
            QFile::remove("backing.log.hang");
            fs.terminate();
            if (!fs.waitForFinished(5000)) {
                fs.kill();
                fs.waitForFinished();
                QProcess::execute("fusermount3", {"-u", "-z", w.dir.path("mnt")});
            }
        });
        const auto mounted = [] {
            struct statfs st {};
            return ::statfs("mnt", &st) == 0 && st.f_type == FUSE_SUPER_MAGIC;
        };
        QTRY_VERIFY_WITH_TIMEOUT(mounted() || fs.state() == QProcess::NotRunning, 10000);
        if (!mounted()) {
            QSKIP(qPrintable("cannot mount a FUSE file system: " + fs.readAllStandardError()));
        }
        w.watch(log);
        QCOMPARE(w.tail(), lastLines(old));

        w.dir.write("backing.log.hang", {});
        w.dir.append("backing.log", "new\n");
        QElapsedTimer clock;
        clock.start();
        w.form.timFileCheck_Timer();
        QVERIFY2(clock.elapsed() < 5000, "the first check waited past its budget");
        clock.restart();
        w.form.timFileCheck_Timer();
        QVERIFY(!frmMain::FileExists(log));
        QVERIFY2(clock.elapsed() < 1000, "a check waited again on the stuck share");
        QCOMPARE(w.tail(), lastLines(old));
        QVERIFY(w.port.messages.empty() && w.monitoring());
        clock.restart();
        w.form.Form_QueryUnload();
        QVERIFY(clock.elapsed() < 4000); // the share holds a call for 8 s
        QFile ini(QStringLiteral("Logwarden.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly) && ini.readAll().contains(QFile::encodeName(log)));

        QFile::remove("backing.log.hang");
        const auto poll = [&] {
            w.form.timFileCheck_Timer();
            return w.tail();
        };
        QTRY_COMPARE(poll(), lastLines(old + "new\n"));
        // A share that answers with an error is no stall.
        QVERIFY(QFile::remove("backing.log"));
        w.tickWhileMonitoring();
        QCOMPARE(w.port.messages.size(), std::size_t(1));
        QCOMPARE(w.port.messages.front().prompt, systemText(ENOENT));
#endif
    }
};

QTEST_GUILESS_MAIN(WatchFaultsTest)
#include "tst_watchfaults.moc"
