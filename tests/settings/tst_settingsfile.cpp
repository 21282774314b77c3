// SPDX-License-Identifier: MIT
#include "ClosingVariants.h"
#include "IniTestSupport.h"
#include "PlainUser.h"
#include "TempFiles.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Start-up and close of the window when its settings file is not what the saver wrote, cannot
// be written, or is written by two processes at once.
namespace {

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

// Writes beyond a few bytes fail with EFBIG while it lives, like a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : mOldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit limit = mOld;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    FileSizeLimit(FileSizeLimit&&) = delete;
    FileSizeLimit& operator=(FileSizeLimit&&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mOld{};
    void (*mOldHandler)(int);
};

bool nextLineIs(QProcess& process, const QByteArray& line) {
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(30'000)) {
            return false;
        }
    }
    return process.readLine() == line + '\n';
}

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void unusableFileStartsWithResetValues_data();
    void unusableFileStartsWithResetValues();
    void saveAtClose_data();
    void saveAtClose();
    void twoProcessesClosingAtOnceLeaveOneWholeFile();
};

void SettingsFileTest::unusableFileStartsWithResetValues_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("textSize"); // from a key after the junk
    const QByteArray key = "\r\n[SIZE VALUE TEXTFONT]\r\n15\r\n";
    QTest::newRow("empty") << "file" << QByteArray() << 9;
    QTest::newRow("junk, then a key") << "file" << randomBytes(40'000, 1) + key << 15;
    // The loader stops where no settings file can go on: a huge file costs nothing.
    QTest::newRow("10 MB of junk hides a key") << "file" << randomBytes(10'000'000, 2) + key << 9;
    QTest::newRow("sparse 4 GiB hides a key") << "sparse" << key << 9;
    QTest::newRow("folder") << "folder" << QByteArray() << 9;
    QTest::newRow("FIFO") << "fifo" << QByteArray() << 9;
    QTest::newRow("link to a device") << "device" << QByteArray() << 9;
    QTest::newRow("unreadable") << "unreadable" << modIniFile::settingsText(closingVariant(1)) << 9;
}

void SettingsFileTest::unusableFileStartsWithResetValues() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, textSize);
    AppSettings expected;
    {
        TempWorkDir empty;
        expected = StartedForm().settings();
    }
    expected.gintSizeTextFont = short(textSize);
    TempWorkDir dir;
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(IniName));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(IniName).constData(), 0600), 0);
    } else if (kind == "device") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), IniName));
    } else if (kind == "sparse") {
        QFile file(IniName);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 32));
        QVERIFY(file.seek(qint64(1) << 32) && file.write(bytes) == bytes.size());
    } else {
        dir.write(IniName, bytes);
    }
    std::optional<PlainUser> user;
    if (kind == "unreadable") {
        QVERIFY(QFile::setPermissions(IniName, {}));
        user.emplace(dir.path({}));
        QVERIFY2(user->modesApply(), "cannot give up root's rights over file modes");
    }
    StartedForm w;
    QCOMPARE(w.settings(), expected);
    w.form.mnuTextSizeValue.click(12);
    w.form.Form_QueryUnload();
    user.reset();

    QCOMPARE(w.port.forwardCalls.back(), false);
    QVERIFY(w.port.messages.empty());
    QCOMPARE(folderEntries(), QStringList{IniName});
    if (kind == "folder") {
        QVERIFY(QFileInfo(IniName).isDir());
    } else if (kind == "unreadable") {
        // Replacing it would lose settings this process never saw.
        QCOMPARE(w.port.errors.size(), std::size_t(1));
        QVERIFY(QFile::setPermissions(IniName, QFileDevice::ReadOwner));
        QCOMPARE(fileBytes(IniName), bytes);
    } else {
        QVERIFY(QFileInfo(IniName).isFile() && !QFileInfo(IniName).isSymLink());
        QCOMPARE(fileBytes(IniName), modIniFile::settingsText(w.settings()));
    }
}

void SettingsFileTest::saveAtClose_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("saved");
    QTest::newRow("no file yet") << "none" << true;
    QTest::newRow("read-only folder, writable file") << "folder" << true;
    QTest::newRow("read-only folder and file") << "folder file" << false;
    QTest::newRow("disk refuses the bytes") << "full" << false;
    QTest::newRow("second hard link") << "hard" << true;
    QTest::newRow("another user's file") << "owner" << true;
    QTest::newRow("link to a file elsewhere") << "link" << true;
    QTest::newRow("dangling link") << "dangling" << true;
    QTest::newRow("link, read-only folder") << "link folder" << false;
    QTest::newRow("leftover of a killed save") << "leftover" << true;
}

// Saved where the window started, as a file of its own, keeping links and owners; or left
// as it was, with the reason on standard error.
void SettingsFileTest::saveAtClose() {
    QFETCH(QString, setup);
    QFETCH(bool, saved);
    constexpr uid_t nobody = 65534;
    TempWorkDir dir;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("target.ini"));
    const QByteArray old = modIniFile::settingsText(closingVariant(1));
    const QByteArray iniPath = QFile::encodeName(IniName);
    if (setup.startsWith(u"link") || setup == u"dangling") {
        if (setup != u"dangling") {
            QFile::copy(dir.write(IniName, old), target);
            QFile::remove(IniName);
        }
        QVERIFY(QFile::link(target, IniName));
    } else if (setup != u"none") {
        dir.write(IniName, old);
    }
    if (setup == u"hard") {
        QCOMPARE(::link(iniPath.constData(), QFile::encodeName(target).constData()), 0);
    } else if (setup == u"leftover") {
        dir.write(IniName + QStringLiteral(".tmp.x7k2qa"), old.first(100));
        const timespec longAgo[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(IniName + ".tmp.x7k2qa").constData(), longAgo, 0);
    }
    const bool asNobody = setup.contains(u"folder");
    if (asNobody || setup == u"owner") {
        if (::lchown(iniPath.constData(), nobody, nobody) != 0) {
            QSKIP("changing a file's owner needs root");
        }
        ::chmod(iniPath.constData(), setup.contains(u"file") ? 0444 : 0644);
    }
    StartedForm w;
    w.form.mnuTextSizeValue.click(12);
    if (setup == u"full") {
        FileSizeLimit limit(64);
        w.form.Form_QueryUnload();
    } else if (asNobody) {
        QCOMPARE(::chmod(".", 0555), 0);
        {
            PlainUser user;
            QVERIFY2(user.modesApply(), "cannot give up root's rights over file modes");
            w.form.Form_QueryUnload();
        }
        QCOMPARE(::chmod(".", 0700), 0);
    } else {
        w.form.Form_QueryUnload();
    }

    const QByteArray now = modIniFile::settingsText(w.settings());
    QCOMPARE(w.port.errors.size(), std::size_t(saved ? 0 : 1));
    QCOMPARE(folderEntries(), QStringList{IniName});
    QCOMPARE(fileBytes(IniName), saved ? now : old);
    struct stat st {};
    QCOMPARE(::lstat(iniPath.constData(), &st), 0);
    QCOMPARE(S_ISLNK(st.st_mode), !saved && setup.startsWith(u"link"));
    if (setup.startsWith(u"link")) {
        QCOMPARE(fileBytes(target), old); // never written through the link
    } else if (setup == u"dangling") {
        QVERIFY(!QFile::exists(target));
    } else if (setup == u"hard") {
        QCOMPARE(st.st_nlink, nlink_t(2));
        QCOMPARE(fileBytes(target), now);
    } else if (setup == u"owner" || setup == u"folder") {
        QCOMPARE(st.st_uid, nobody);
    }
}

void SettingsFileTest::twoProcessesClosingAtOnceLeaveOneWholeFile() {
    TempWorkDir dir;
    QTemporaryDir fifoDir;
    // The closers wait to open this FIFO for reading; opening it for writing releases both at
    // the same moment.
    const QString go = fifoDir.filePath(QStringLiteral("go"));
    QCOMPARE(::mkfifo(QFile::encodeName(go).constData(), 0600), 0);
    const AppSettings first = closingVariant(1);
    const AppSettings second = closingVariant(2);
    const QByteArray firstBytes = modIniFile::settingsText(first);
    const QByteArray secondBytes = modIniFile::settingsText(second);
    // Each round starts from a third file, so that a round in which both saves fail shows.
    AppSettings before = resetSettings();
    before.gintSizeTextFont = 12;
    QProcess closers[2];
    for (int i = 0; i < 2; ++i) {
        closers[i].setWorkingDirectory(dir.path({}));
        closers[i].start(QStringLiteral(SETTINGS_CLOSER), {QString::number(i + 1), go});
    }
    int firstRemained = 0;
    int reads = 0;
    for (int round = 0; round < 200; ++round) {
        QVERIFY(!modIniFile::SaveIniFile(before));
        for (QProcess& closer : closers) {
            closer.write("window\n");
        }
        for (QProcess& closer : closers) {
            QVERIFY(nextLineIs(closer, "ready"));
        }
        QFile release(go);
        QVERIFY(release.open(QIODevice::WriteOnly));
        // A window starting meanwhile must find one whole file, whichever it is.
        const QDeadlineTimer deadline(30'000);
        while (!closers[0].canReadLine() || !closers[1].canReadLine()) {
            const AppSettings seen = loaded();
            ++reads;
            QVERIFY(seen == before || seen == first || seen == second);
            QVERIFY(!deadline.hasExpired());
            for (QProcess& closer : closers) {
                closer.waitForReadyRead(0);
            }
        }
        for (QProcess& closer : closers) {
            QVERIFY(nextLineIs(closer, "done"));
        }
        release.close();
        const QByteArray bytes = fileBytes(IniName);
        QVERIFY2(bytes == firstBytes || bytes == secondBytes, qPrintable(QString::number(round)));
        firstRemained += bytes == firstBytes ? 1 : 0;
        QCOMPARE(folderEntries(), QStringList{IniName});
    }
    for (QProcess& closer : closers) {
        closer.closeWriteChannel();
        QVERIFY(closer.waitForFinished(30'000));
        QCOMPARE(closer.exitCode(), 0);
    }
    qInfo("the first process's file remained %d times of 200; %d loads between", firstRemained,
          reads);
}

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
