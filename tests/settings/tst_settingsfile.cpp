// SPDX-License-Identifier: MIT
#include "ClosingVariants.h"
#include "IniTestSupport.h"
#include "PlainUser.h"
#include "TempFiles.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

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
    void failedSaveAtCloseKeepsTheOldFile_data();
    void failedSaveAtCloseKeepsTheOldFile();
    void twoProcessesClosingAtOnceLeaveOneWholeFile();
};

void SettingsFileTest::unusableFileStartsWithResetValues_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("textSize"); // from a key after the junk
    constexpr qsizetype size = 10 * 1024 * 1024;
    const QByteArray key = "\r\n[SIZE VALUE TEXTFONT]\r\n15\r\n";
    QTest::newRow("empty") << "file" << QByteArray() << 9;
    QTest::newRow("10 MB of random bytes") << "file" << randomBytes(size, 2) + key << 15;
    QTest::newRow("10 MB line without a line end") << "file" << QByteArray(size, 'a') + key << 15;
    QTest::newRow("10 MB of NUL") << "file" << QByteArray(size, '\0') + key << 15;
    QTest::newRow("10 MB of line feeds") << "file" << QByteArray(size, '\n') + key << 15;
    QTest::newRow("10 MB of keys")
        << "file" << QByteArray("[VIEW FLAG SEARCHWORD]\r\n").repeated(size / 24) + key << 15;
    QTest::newRow("folder") << "folder" << QByteArray() << 9;
    QTest::newRow("FIFO") << "fifo" << QByteArray() << 9;
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
    } else {
        dir.write(IniName, bytes);
    }
    std::optional<PlainUser> user;
    if (kind == "unreadable") {
        QVERIFY(QFile::setPermissions(IniName, {}));
        user.emplace(dir.path({}));
        QVERIFY2(user->modesApply(), "cannot give up root's rights over file modes");
    }
    QElapsedTimer timer;
    timer.start();
    StartedForm w;
    qInfo("started in %lld ms", timer.elapsed());
    QVERIFY(timer.elapsed() < 30'000);
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
        QVERIFY(QFile::setPermissions(IniName, QFileDevice::ReadOwner));
        QCOMPARE(fileBytes(IniName), bytes);
    } else {
        QCOMPARE(fileBytes(IniName), modIniFile::settingsText(w.settings()));
    }
}

void SettingsFileTest::failedSaveAtCloseKeepsTheOldFile_data() {
    QTest::addColumn<QString>("cause");
    QTest::newRow("disk refuses the bytes") << "full";
    QTest::newRow("read-only folder") << "read-only";
}

void SettingsFileTest::failedSaveAtCloseKeepsTheOldFile() {
    QFETCH(QString, cause);
    TempWorkDir dir;
    const QByteArray old = modIniFile::settingsText(closingVariant(1));
    dir.write(IniName, old);
    StartedForm w;
    w.form.mnuTextSizeValue.click(12);
    if (cause == "full") {
        FileSizeLimit limit(64);
        w.form.Form_QueryUnload();
    } else {
        // The file itself may be written; only the folder refuses.
        QCOMPARE(::chmod(QFile::encodeName(IniName).constData(), 0666), 0);
        QCOMPARE(::chmod(".", 0555), 0);
        {
            PlainUser user;
            QVERIFY2(user.modesApply(), "cannot give up root's rights over file modes");
            w.form.Form_QueryUnload();
        }
        QCOMPARE(::chmod(".", 0700), 0);
    }
    QCOMPARE(w.port.forwardCalls.back(), false);
    QVERIFY(w.port.messages.empty());
    QCOMPARE(fileBytes(IniName), old);
    QCOMPARE(folderEntries(), QStringList{IniName});
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
        QVERIFY(modIniFile::SaveIniFile(before));
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
