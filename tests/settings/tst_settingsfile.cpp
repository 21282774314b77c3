#include "FakePort.h"
#include "IniTestSupport.h"
#include "PlainUser.h"
#include "TempFiles.h"
#include "core/frmMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QString IniName = QString::fromLatin1(modIniFile::FileName);

// Every field away from its reset value, so that a reset or a partial read shows.
AppSettings unusual(short base, const QString& path) {
    AppSettings s;
    s.gblnViewTimestamp = base % 2 == 0;
    s.gblnViewFilesize = base % 2 != 0;
    s.gblnViewSearchWord = true;
    s.gintColorBackground = base;
    s.gintColorTextFont = short(base + 1);
    s.gintSizeTextFont = short(base + 2);
    s.gintSizeLineCount = short(base + 3);
    s.gintSizeBufferSize = short(base + 4);
    s.gintModeWindowState = short(base + 5);
    s.gblnModeWindowForward = true;
    s.gintTypeReturnCode = short(base + 6);
    s.gstrRecentFiles.fill(path);
    return s;
}

AppSettings loaded() {
    AppSettings settings;
    modIniFile::LoadIniFile(settings);
    return settings;
}

QByteArray fileBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList folderEntries() {
    return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
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

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadWithoutUsableFileResets_data();
    void loadWithoutUsableFileResets();
    void unreadableFileResetsAndSurvivesTheClose();
    void hugeOrBinaryFileLoads_data();
    void hugeOrBinaryFileLoads();
    void saveWritesTheWholeFile();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void closeGoesOnWhenTheSaveFails();
    void racingSavesLeaveOneWholeFile();
};

void SettingsFileTest::loadWithoutUsableFileResets_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("absent") << "absent";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("folder of that name") << "folder";
    QTest::newRow("FIFO of that name") << "fifo";
}

void SettingsFileTest::loadWithoutUsableFileResets() {
    QFETCH(QString, kind);
    TempWorkDir dir;
    if (kind == "empty") {
        dir.write(IniName, {});
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(IniName));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(IniName).constData(), 0600), 0);
    }
    const AppSettings before = unusual(40, "/kept");
    AppSettings settings = before;
    modIniFile::LoadIniFile(settings);
    AppSettings expected = resetSettings();
    expected.gintTypeReturnCode = before.gintTypeReturnCode;
    expected.gstrRecentFiles = before.gstrRecentFiles;
    QCOMPARE(settings, expected);
}

void SettingsFileTest::unreadableFileResetsAndSurvivesTheClose() {
    TempWorkDir dir;
    const QByteArray kept = modIniFile::settingsText(unusual(3, "/a"));
    dir.write(IniName, kept);
    QVERIFY(QFile::setPermissions(IniName, {}));
    AppSettings settings;
    bool saved = true;
    {
        PlainUser user(dir.path({}));
        QVERIFY2(user.modesApply(), "cannot give up root's rights over file modes");
        settings = loaded();
        // Replacing it would lose settings this process never saw.
        saved = modIniFile::SaveIniFile(settings);
    }
    QCOMPARE(settings, resetSettings());
    QVERIFY(!saved);
    QVERIFY(QFile::setPermissions(IniName, QFileDevice::ReadOwner));
    QCOMPARE(fileBytes(IniName), kept);
}

void SettingsFileTest::hugeOrBinaryFileLoads_data() {
    QTest::addColumn<QByteArray>("junk");
    constexpr qsizetype size = 10 * 1024 * 1024;
    QByteArray random(size, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(random.data()), size / 4);
    QTest::newRow("random bytes") << random;
    QTest::newRow("one line, no line end") << QByteArray(size, 'a');
    QTest::newRow("NUL bytes") << QByteArray(size, '\0');
    QTest::newRow("line feeds only") << QByteArray(size, '\n');
    QByteArray keys;
    while (keys.size() < size) {
        keys += "[VIEW FLAG TEXT]\r\n";
    }
    QTest::newRow("key after key") << keys;
}

void SettingsFileTest::hugeOrBinaryFileLoads() {
    QFETCH(QByteArray, junk);
    TempWorkDir dir;
    dir.write(IniName, junk + "\r\n[SIZE VALUE TEXTFONT]\r\n15\r\n");
    QElapsedTimer timer;
    timer.start();
    const AppSettings settings = loaded();
    qInfo("loaded 10 MB in %lld ms", timer.elapsed());
    QVERIFY(timer.elapsed() < 30'000);
    QCOMPARE(settings.gintSizeTextFont, short(15));
}

void SettingsFileTest::saveWritesTheWholeFile() {
    TempWorkDir dir;
    const AppSettings first = unusual(11, "/var/log/日本語.log");
    QVERIFY(modIniFile::SaveIniFile(first));
    const AppSettings second = unusual(22, "/srv/b.log");
    QVERIFY(modIniFile::SaveIniFile(second));
    QCOMPARE(fileBytes(IniName), modIniFile::settingsText(second));
    QCOMPARE(folderEntries(), QStringList{IniName});
    QCOMPARE(loaded(), second);
}

void SettingsFileTest::failedSaveKeepsTheOldFile_data() {
    QTest::addColumn<QString>("cause");
    QTest::newRow("disk refuses the bytes") << "full";
    QTest::newRow("read-only folder") << "read-only";
}

void SettingsFileTest::failedSaveKeepsTheOldFile() {
    QFETCH(QString, cause);
    TempWorkDir dir;
    const AppSettings old = unusual(1, "/old.log");
    QVERIFY(modIniFile::SaveIniFile(old));
    const QByteArray oldBytes = fileBytes(IniName);
    bool saved = true;
    if (cause == "full") {
        FileSizeLimit limit(64);
        saved = modIniFile::SaveIniFile(unusual(2, "/new.log"));
    } else {
        // The file itself may be written; only the folder refuses.
        QCOMPARE(::chmod(QFile::encodeName(IniName).constData(), 0666), 0);
        QCOMPARE(::chmod(".", 0555), 0);
        {
            PlainUser user;
            QVERIFY2(user.modesApply(), "cannot give up root's rights over file modes");
            saved = modIniFile::SaveIniFile(unusual(2, "/new.log"));
        }
        QCOMPARE(::chmod(".", 0700), 0);
    }
    QVERIFY(!saved);
    QCOMPARE(fileBytes(IniName), oldBytes);
    QCOMPARE(folderEntries(), QStringList{IniName});
}

void SettingsFileTest::closeGoesOnWhenTheSaveFails() {
    TempWorkDir dir;
    QVERIFY(QDir().mkdir(IniName));
    modGlobal global;
    FakePort port;
    frmMain form(global, port, {});
    form.Form_Load();
    form.mnuViewForward.click();
    form.mnuTextSizeValue.click(15);
    const modGlobal before = global;
    form.Form_QueryUnload();
    QCOMPARE(port.forwardCalls.back(), false);
    QVERIFY(port.messages.empty());
    QVERIFY(QFileInfo(IniName).isDir());
    QCOMPARE(static_cast<const AppSettings&>(global), static_cast<const AppSettings&>(before));
}

void SettingsFileTest::racingSavesLeaveOneWholeFile() {
    TempWorkDir dir;
    const AppSettings a = unusual(100, "/a/first.log");
    const AppSettings b = unusual(200, "/b/ログ.log");
    QVERIFY(modIniFile::SaveIniFile(a));
    std::atomic<int> writersLeft{2};
    std::atomic<int> failedSaves{0};
    const auto writer = [&](const AppSettings& settings) {
        for (int i = 0; i < 200; ++i) {
            failedSaves += modIniFile::SaveIniFile(settings) ? 0 : 1;
        }
        --writersLeft;
    };
    int reads = 0;
    int torn = 0;
    std::thread first(writer, std::cref(a));
    std::thread second(writer, std::cref(b));
    // A reader between the writers must never catch a file that is neither of the two.
    while (writersLeft > 0) {
        const AppSettings seen = loaded();
        ++reads;
        torn += seen == a || seen == b ? 0 : 1;
    }
    first.join();
    second.join();
    qInfo("%d loads during the race", reads);
    QCOMPARE(torn, 0);
    QCOMPARE(failedSaves.load(), 0);
    const AppSettings last = loaded();
    QVERIFY(last == a || last == b);
    QCOMPARE(folderEntries(), QStringList{IniName});
}

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
