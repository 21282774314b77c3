// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "PlainUser.h"
#include "TailOracle.h"
#include "core/TailReader.h"
#include "platform/FileSystem.h"

#include <QElapsedTimer>
#include <QProcess>
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

// What the window shows of a small file at its reset buffer size.
QString lastLines(const QByteArray& bytes, int lines) {
    return QString::fromUtf8(bytewiseTail(bytes, bytes.size(), lines, 25));
}

void copyTimeStamp(const QString& from, const QString& to) {
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(from).constData(), &st), 0);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(to).constData(), times, 0), 0);
}

void resize(const QString& path, qint64 size) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(size));
}

#ifdef HANGFS
// hangfs on a temporary folder: a share whose log can be made to stop answering. Unmounted
// on every way out, released first so that no call stays stuck in it.
class HungShare {
public:
    HungShare() {
        QDir(mDir.path()).mkdir(QStringLiteral("mnt"));
        QFile(backing()).open(QIODevice::WriteOnly);
        mFs.start(QStringLiteral(HANGFS), {backing(), mountPoint()});
    }
    HungShare(const HungShare&) = delete;
    HungShare& operator=(const HungShare&) = delete;
    HungShare(HungShare&&) = delete;
    HungShare& operator=(HungShare&&) = delete;
    ~HungShare() {
        hang(false);
        mFs.terminate();
        if (!mFs.waitForFinished(5000)) {
            mFs.kill();
            mFs.waitForFinished();
            QProcess::execute(QStringLiteral("fusermount3"), {"-u", "-z", mountPoint()});
        }
    }

    bool mounted() const {
        struct statfs fs {};
        return ::statfs(QFile::encodeName(mountPoint()).constData(), &fs) == 0 &&
               fs.f_type == FUSE_SUPER_MAGIC;
    }
    bool ended() const { return mFs.state() == QProcess::NotRunning; }
    QString failure() { return QString::fromLocal8Bit(mFs.readAllStandardError()); }
    QString log() const { return mountPoint() + QStringLiteral("/app.log"); }
    QString backing() const { return mDir.filePath(QStringLiteral("backing.log")); }
    void append(const QByteArray& bytes) const {
        QFile file(backing());
        QVERIFY(file.open(QIODevice::Append) && file.write(bytes) == bytes.size());
    }
    void hang(bool on) const {
        const QString mark = backing() + QStringLiteral(".hang");
        on ? void(QFile(mark).open(QIODevice::WriteOnly)) : void(QFile::remove(mark));
    }

private:
    QString mountPoint() const { return mDir.filePath(QStringLiteral("mnt")); }
    QTemporaryDir mDir;
    QProcess mFs;
};
#endif

} // namespace

class WatchFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileRenamedOverIsReadAtNextPoll_data();
    void fileRenamedOverIsReadAtNextPoll();
    void truncatedFileNeverShowsCutBytes_data();
    void truncatedFileNeverShowsCutBytes();
    void lengthChangedBeforeTheReadShowsWhatWasRead_data();
    void lengthChangedBeforeTheReadShowsWhatWasRead();
    void fileRewrittenDuringPollsShowsOnlyItsBytes();
    void permissionDeniedStopsMonitoring_data();
    void permissionDeniedStopsMonitoring();
    void pathThatIsNoFileIsNotRead_data();
    void pathThatIsNoFileIsNotRead();
    void readNeverWaitsOnOrReadsADevice();
    void tailAcrossLargeOffsets_data();
    void tailAcrossLargeOffsets();
    void oddBytesAreShownVisibly_data();
    void oddBytesAreShownVisibly();
    void longLineShowsTheLastWindow_data();
    void longLineShowsTheLastWindow();
    void shareThatStopsAnsweringHoldsTheWindowOnce();
};

void WatchFaultsTest::fileRenamedOverIsReadAtNextPoll_data() {
    QTest::addColumn<int>("newLines");
    QTest::addColumn<bool>("sameTimeStamp");
    QTest::newRow("longer file") << 40 << false;
    QTest::newRow("shorter file") << 5 << false;
    QTest::newRow("same length") << 30 << false;
    QTest::newRow("same length and time stamp") << 30 << true;
}

void WatchFaultsTest::fileRenamedOverIsReadAtNextPoll() {
    QFETCH(int, newLines);
    QFETCH(bool, sameTimeStamp);
    Window w;
    const QString path = w.dir.write("app.log", taggedLines("old", 30));
    w.watch(path);
    const QByteArray fresh = taggedLines("new", newLines);
    const QString next = w.dir.write("app.log.next", fresh);
    if (sameTimeStamp) {
        copyTimeStamp(path, next);
    }
    QCOMPARE(::rename(QFile::encodeName(next).constData(), QFile::encodeName(path).constData()), 0);
    w.form.timFileCheck_Timer();
    QCOMPARE(w.tail(), lastLines(fresh, 20));
    QVERIFY(!w.form.txtView.text().contains(QStringLiteral("old")));
    QVERIFY(w.monitoring());
    QVERIFY(w.port.messages.empty());
}

void WatchFaultsTest::truncatedFileNeverShowsCutBytes_data() {
    QTest::addColumn<qint64>("cutTo");
    QTest::addColumn<QByteArray>("regrowth");
    QTest::addColumn<bool>("pollBetween");
    QTest::newRow("emptied, polled, grown") << qint64(0) << taggedLines("new", 3) << true;
    QTest::newRow("emptied and grown longer") << qint64(0) << taggedLines("new", 50) << false;
    QTest::newRow("emptied and grown shorter") << qint64(0) << taggedLines("new", 2) << false;
    QTest::newRow("cut mid-line, then appended") << qint64(100) << taggedLines("new", 4) << false;
    QTest::newRow("cut mid-line, polled") << qint64(100) << QByteArray() << true;
}

void WatchFaultsTest::truncatedFileNeverShowsCutBytes() {
    QFETCH(qint64, cutTo);
    QFETCH(QByteArray, regrowth);
    QFETCH(bool, pollBetween);
    Window w;
    const QByteArray old = taggedLines("old", 30);
    const QString path = w.dir.write("app.log", old);
    w.watch(path);
    resize(path, cutTo);
    if (pollBetween) {
        w.form.timFileCheck_Timer();
        QCOMPARE(w.tail(), lastLines(old.first(cutTo), 20));
    }
    w.dir.append("app.log", regrowth);
    w.form.timFileCheck_Timer();
    const QByteArray now = old.first(cutTo) + regrowth;
    QCOMPARE(w.tail(), lastLines(now, 20));
    QCOMPARE(w.form.lblFileLen.caption(), formatFileLen(now.size()));
    QVERIFY(w.monitoring());
}

void WatchFaultsTest::lengthChangedBeforeTheReadShowsWhatWasRead_data() {
    QTest::addColumn<qint64>("queriedLength");
    QTest::addColumn<qint64>("lengthAtRead");
    // Lines of 8 bytes: "l 00001\n"; a 1 KiB window (plus one byte) holds 128 of them.
    QTest::newRow("grew after the query") << qint64(8000) << qint64(16000);
    QTest::newRow("shrank inside the window") << qint64(8000) << qint64(7500);
    QTest::newRow("shrank mid-line") << qint64(8000) << qint64(7503);
    QTest::newRow("shrank to before the window") << qint64(8000) << qint64(5000);
    QTest::newRow("emptied") << qint64(8000) << qint64(0);
}

void WatchFaultsTest::lengthChangedBeforeTheReadShowsWhatWasRead() {
    QFETCH(qint64, queriedLength);
    QFETCH(qint64, lengthAtRead);
    TempWorkDir dir;
    QByteArray bytes;
    for (int i = 0; bytes.size() < lengthAtRead; ++i) {
        bytes += QByteArray::number(i).rightJustified(5, '0').prepend("l ") + '\n';
    }
    bytes.truncate(lengthAtRead);
    const QString path = dir.write("app.log", bytes);
    const TailBytes tail = readTail(path, queriedLength, 10, 1);
    const qint64 start = std::max<qint64>(0, queriedLength - 1025);
    QCOMPARE(tail.window, bytes.mid(start, queriedLength - start));
    QCOMPARE(tail.shown().toByteArray(), bytewiseTail(bytes, queriedLength, 10, 1));
}

void WatchFaultsTest::fileRewrittenDuringPollsShowsOnlyItsBytes() {
    Window w;
    const QString path = w.dir.write("app.log", "a\n");
    w.watch(path);
    // Every generation rewrites the file in place with one letter and line feeds, each time to
    // another length, so that any byte the window did not read (or took from its own memory)
    // shows as a foreign character.
    std::atomic<bool> stop{false};
    std::atomic<int> generations{0};
    std::thread writer([&] {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
        for (int generation = 0; !stop; generations = ++generation) {
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
    int polls = 0;
    bool clean = true;
    QString previous;
    for (; clean && reads < 500 && polls < 1'000'000; ++polls) {
        w.form.timFileCheck_Timer();
        const QString& tail = w.form.watchState().mstrTailText;
        reads += tail == previous ? 0 : 1;
        previous = tail;
        clean = std::all_of(tail.begin(), tail.end(),
                            [](QChar c) { return c == u'\n' || (c >= u'a' && c <= u'z'); });
    }
    stop = true;
    writer.join();
    qInfo("%d polls read %d new texts while %d generations were written", polls, reads,
          generations.load());
    QVERIFY2(clean, qPrintable(QStringLiteral("foreign bytes in: ") + previous.left(200)));
    QCOMPARE(reads, 500);
    QVERIFY(w.port.messages.empty());
    QVERIFY(w.monitoring());
}

void WatchFaultsTest::permissionDeniedStopsMonitoring_data() {
    QTest::addColumn<QString>("locked");
    QTest::newRow("file without read permission") << "logs/app.log";
    QTest::newRow("folder without search permission") << "logs";
}

void WatchFaultsTest::permissionDeniedStopsMonitoring() {
    QFETCH(QString, locked);
    Window w;
    QVERIFY(QDir().mkdir("logs"));
    const QString path = w.dir.write("logs/app.log", taggedLines("old", 3));
    w.watch(path);
    w.dir.append("logs/app.log", "changed\n");
    const QByteArray lockedPath = QFile::encodeName(w.dir.path(locked));
    QCOMPARE(::chmod(lockedPath.constData(), 0), 0);
    {
        PlainUser user(w.dir.path({}));
        QVERIFY2(user.modesApply(), "cannot give up root's rights over file modes");
        w.form.timFileCheck_Timer();
    }
    ::chmod(lockedPath.constData(), 0755);
    QCOMPARE(w.port.messages.size(), std::size_t(1));
    QCOMPARE(w.port.messages.front().prompt, systemText(EACCES));
    QCOMPARE(w.port.messages.front().icon, PlatformPort::MsgIcon::Critical);
    QCOMPARE(w.port.messages.front().title, frmMain::GetAppCaption());
    QVERIFY(!w.monitoring());
    QVERIFY(w.form.mnuMonitorStart.enabled());
    QVERIFY(!w.form.watchState().mblnReading);
    QCOMPARE(w.tail(), QString::fromLatin1(taggedLines("old", 3)));
}

void WatchFaultsTest::pathThatIsNoFileIsNotRead_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("error"); // 0: silence, an empty view
    QTest::newRow("folder") << "folder" << EISDIR;
    QTest::newRow("dangling link") << "link" << ENOENT;
    QTest::newRow("FIFO without a writer") << "fifo" << 0;
    QTest::newRow("endless device") << "device" << 0;
}

void WatchFaultsTest::pathThatIsNoFileIsNotRead() {
    QFETCH(QString, kind);
    QFETCH(int, error);
    Window w;
    QString path = w.dir.path("thing");
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "link") {
        QVERIFY(QFile::link(w.dir.path("gone"), path));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        path = QStringLiteral("/dev/zero");
    }
    // As the open dialog hands it over, without the existence test; then the user tries to
    // monitor it anyway.
    w.form.OpenWatchedFile(path);
    w.form.mnuMonitorStart.click();
    for (int tick = 0; tick < 6 && w.monitoring(); ++tick) {
        w.form.timFileCheck_Timer(); // a missing path is given five ticks to come back
    }
    if (error != 0) {
        QCOMPARE(w.port.messages.size(), std::size_t(2));
        QCOMPARE(w.port.messages.back().prompt, systemText(error));
        QVERIFY(!w.monitoring());
    } else {
        QVERIFY(w.port.messages.empty());
        QCOMPARE(w.form.lblFileLen.caption(), QStringLiteral("0 byte "));
        QCOMPARE(w.form.txtView.text(), QString());
    }
    QVERIFY(w.tail().isEmpty());
}

void WatchFaultsTest::readNeverWaitsOnOrReadsADevice() {
    TempWorkDir dir;
    const QString fifo = dir.path("fifo");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A file swapped for one of these between the length query and the read.
    QCOMPARE(platform::readAt(fifo, 0, 100), QByteArray());
    QCOMPARE(platform::readAt(QStringLiteral("/dev/zero"), 0, 100), QByteArray());
    try {
        platform::readAt(dir.path({}), 0, 100);
        QFAIL("a folder was read");
    } catch (const std::system_error& e) {
        QCOMPARE(e.code().value(), EISDIR);
    }
}

void WatchFaultsTest::tailAcrossLargeOffsets_data() {
    QTest::addColumn<qint64>("boundary");
    QTest::newRow("2 GiB") << (qint64(1) << 31);
    QTest::newRow("4 GiB") << (qint64(1) << 32);
    QTest::newRow("5 GiB") << (qint64(5) << 30);
}

void WatchFaultsTest::tailAcrossLargeOffsets() {
    QFETCH(qint64, boundary);
    Window w;
    // Sparse up to just before the boundary, then lines that cross it.
    const QByteArray lines = taggedLines("far", 30);
    const qint64 hole = boundary - lines.size() / 2;
    const QString path = w.dir.path("big.log");
    QFile big(path);
    QVERIFY(big.open(QIODevice::WriteOnly));
    if (!big.resize(hole)) {
        QSKIP("this file system cannot hold a sparse file this large");
    }
    QVERIFY(big.seek(hole));
    QCOMPARE(big.write(lines), lines.size());
    big.close();
    w.form.OpenWatchedFile(path);
    QCOMPARE(w.tail(), lastLines(lines, 20));
    QCOMPARE(w.form.watchState().mdblFileLen, hole + lines.size());
    QCOMPARE(w.form.lblFileLen.caption(),
             QLocale(QLocale::English).toString(hole + lines.size()) + QStringLiteral(" byte "));
}

void WatchFaultsTest::oddBytesAreShownVisibly_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("view");
    const QString nul = QStringLiteral("\u2400");
    const QString bad = QStringLiteral("\uFFFD");
    QTest::newRow("NUL bytes") << QByteArray("a\0b\n\0\0\n", 7)
                               << "a" + nul + "b\r\n" + nul + nul + "\r\n\r\n";
    QTest::newRow("invalid UTF-8") << QByteArray("x\xFF\xFEy\n") << "x" + bad + bad + "y\r\n\r\n";
    QTest::newRow("surrogate bytes")
        << QByteArray("\xED\xA0\x80\n") << bad + bad + bad + "\r\n\r\n";
    const QString log = QStringLiteral("2024-03-05 14:07:09 エラー: 設定ファイルを開けません\n"
                                       "2024-03-05 14:07:10 情報: 接続を回復しました（3 回目）\n");
    const QString shown = QString(log).replace(u'\n', QStringLiteral("\r\n"));
    for (const char* encoding : {"Shift_JIS", "EUC-JP"}) {
        QTest::addRow("%s log", encoding) << encoded(encoding, log) << shown + "\r\n";
    }
    QTest::newRow("UTF-8 and Shift_JIS lines")
        << log.toUtf8() + encoded("Shift_JIS", log) << shown + shown + "\r\n";
    // 25 KiB plus one byte starts one byte into a character of three bytes in UTF-8 ("あ"), and
    // into one of two bytes followed by a blank in the others ("あ ").
    const struct {
        const char* encoding;
        QString unit;
        QString cutView;
    } cuts[] = {{"UTF-8", QStringLiteral("あ"), {}},
                {"Shift_JIS", QStringLiteral("あ "), QStringLiteral(" ")},
                {"EUC-JP", QStringLiteral("あ "), QStringLiteral(" ")}};
    for (const auto& cut : cuts) {
        const QByteArray unit = encoded(cut.encoding, cut.unit);
        const QByteArray file = unit.repeated(30000 / unit.size());
        QTest::addRow("%s character cut at the window start", cut.encoding)
            << file << cut.cutView + cut.unit.repeated((25 * 1024 + 1 - 2) / unit.size()) + "\r\n";
    }
}

void WatchFaultsTest::oddBytesAreShownVisibly() {
    QFETCH(QByteArray, file);
    QFETCH(QString, view);
    Window w;
    w.form.OpenWatchedFile(w.dir.write("odd.log", file));
    QVERIFY(w.port.messages.empty());
    QCOMPARE(w.form.txtView.text(), view);
    w.form.mnuEditCopy.click();
    QCOMPARE(w.port.clipboard, view);
}

void WatchFaultsTest::longLineShowsTheLastWindow_data() {
    QTest::addColumn<int>("bufferIndex");
    QTest::addColumn<int>("windowBytes");
    QTest::newRow("25 KB") << 1 << 25 * 1024 + 1;
    QTest::newRow("200 KB") << 8 << 200 * 1024 + 1;
}

void WatchFaultsTest::longLineShowsTheLastWindow() {
    QFETCH(int, bufferIndex);
    QFETCH(int, windowBytes);
    Window w;
    QByteArray line(205 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < line.size(); ++i) {
        line[i] = char('a' + i % 26);
    }
    w.form.mnuOptionBufferSize.click(bufferIndex);
    w.form.OpenWatchedFile(w.dir.write("one.log", "earlier line\n" + line));
    QCOMPARE(w.tail(), QString::fromLatin1(line.right(windowBytes)));
    QCOMPARE(w.form.txtView.text(), w.tail() + QStringLiteral("\r\n"));
}

void WatchFaultsTest::shareThatStopsAnsweringHoldsTheWindowOnce() {
#ifndef HANGFS
    QSKIP("built without libfuse3");
#else
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        QSKIP("no /dev/fuse to mount a file system with");
    }
    HungShare share;
    QTRY_VERIFY_WITH_TIMEOUT(share.mounted() || share.ended(), 10000);
    if (!share.mounted()) {
        QSKIP(qPrintable("cannot mount a FUSE file system: " + share.failure()));
    }
    Window w;
    const QByteArray old = taggedLines("old", 30);
    share.append(old);
    w.watch(share.log());
    QCOMPARE(w.tail(), lastLines(old, 20));

    share.hang(true);
    share.append("new\n");
    QElapsedTimer clock;
    clock.start();
    w.form.timFileCheck_Timer();
    QVERIFY2(clock.elapsed() < 5000, "the first check waited past its budget");
    for (int i = 0; i < 3; ++i) {
        clock.restart();
        w.form.timFileCheck_Timer();
        QVERIFY(!frmMain::FileExists(share.log()));
        QVERIFY2(clock.elapsed() < 1000, "a check waited again on the stuck share");
    }
    QCOMPARE(w.tail(), lastLines(old, 20));
    QVERIFY(w.port.messages.empty());
    QVERIFY(w.monitoring());
    clock.restart();
    w.form.Form_QueryUnload();
    QVERIFY(clock.elapsed() < 4000); // the share holds a call for 8 s
    QFile ini(w.dir.path(QStringLiteral("Logwarden.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains(QFile::encodeName(share.log())));

    share.hang(false);
    const auto poll = [&] {
        w.form.timFileCheck_Timer();
        return w.tail();
    };
    QTRY_COMPARE(poll(), lastLines(old + "new\n", 20));
    QVERIFY(w.port.messages.empty());
    // A share that answers with an error is no stall.
    QVERIFY(QFile::remove(share.backing()));
    for (int tick = 0; tick < 6 && w.monitoring(); ++tick) {
        w.form.timFileCheck_Timer();
    }
    QCOMPARE(w.port.messages.size(), std::size_t(1));
    QCOMPARE(w.port.messages.front().prompt, systemText(ENOENT));
    QVERIFY(!w.monitoring());
#endif
}

QTEST_GUILESS_MAIN(WatchFaultsTest)
#include "tst_watchfaults.moc"
