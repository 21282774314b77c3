// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "PlainUser.h"
#include "settings/IniFile.h"
#include "settings/IniNumber.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QtTest>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// The settings file: how it is read and written, and what start-up and close do with it when
// it is not what the saver wrote, cannot be written, or is written by two processes at once.

Q_DECLARE_METATYPE(AppSettings)

// A failed comparison shows both records as the saver writes them.
inline char* toString(const AppSettings& settings) {
    return qstrdup(modIniFile::settingsText(settings).replace("\r\n", " | ").constData());
}

namespace {

const QString IniName = QString::fromLatin1(modIniFile::FileName);

// What a window started without a settings file has.
AppSettings fresh() {
    AppSettings s;
    s.gblnViewTimestamp = s.gblnViewFilesize = s.gblnViewFilepath = s.gblnViewText = true;
    s.gintColorBackground = s.gintColorTextFont = s.gintSizeBufferSize = 1;
    s.gintSizeTextFont = 9;
    s.gintSizeLineCount = s.gintTypeReturnCode = 2;
    return s;
}

AppSettings with(AppSettings s, const std::function<void(AppSettings&)>& change) {
    change(s);
    return s;
}

AppSettings parsed(const QByteArray& text, AppSettings start = fresh()) {
    modIniFile::readSettings(text, start);
    return start;
}

// Two records that differ in every field, so that a file mixed from both, or cut short,
// matches neither.
AppSettings variant(int v) {
    const bool one = v == 1;
    AppSettings s;
    s.gblnViewTimestamp = s.gblnViewFilepath = s.gblnViewText = s.gblnModeWindowForward = one;
    s.gblnViewFilesize = s.gblnViewSearchWord = !one;
    s.gintColorBackground = one ? 2 : 5;
    s.gintColorTextFont = one ? 3 : 6;
    s.gintSizeTextFont = one ? 15 : SHRT_MIN;
    s.gintSizeLineCount = one ? 10 : SHRT_MAX;
    s.gintSizeBufferSize = one ? 8 : 4;
    s.gintModeWindowState = one ? 2 : 1;
    s.gintTypeReturnCode = one ? 2 : -1;
    for (int i = 0; i < AppSettings::RecentCount; ++i) {
        s.gstrRecentFiles.at(i) = QStringLiteral("/var/log/%1/ログ %2.log").arg(v).arg(i);
    }
    return s;
}

QByteArray fileBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The output of a shell command run in the current folder, with `arg` as its $1.
QString sh(const QString& command, const QString& arg = {}) {
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), command, QStringLiteral("sh"), arg});
    shell.waitForFinished();
    return QString::fromLocal8Bit(shell.readAllStandardOutput().trimmed());
}

bool nextLineIs(QProcess& process, const QByteArray& line) {
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(30'000)) {
            return false;
        }
    }
    return process.readLine() == line + '\n';
}

// One process of the close race: for every line on its input, a window started in the
// current folder and given the settings of `v` says "ready", closes as soon as the FIFO `go`
// can be opened (when the test opens it for writing, which releases both processes at
// once), and says whether its save succeeded.
int closer(int v, const char* go) {
    char line[16];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        StartedForm w;
        static_cast<AppSettings&>(w.global) = variant(v);
        std::puts("ready");
        std::fflush(stdout);
        ::close(::open(go, O_RDONLY));
        w.form.Form_QueryUnload();
        std::puts(w.port.errors.empty() ? "done" : "failed");
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value"); // empty: refused
        // The text, a colon, and the number it reads as: to even at a half, in 16 bits.
        for (const char* row :
             {"12:12", " \t+12 :12", "-7:-7", "2.5:2", "3.5:4", "-3.5:-4", "2.5000001:3",
              "2.50000:2", "2.4999:2", ".5:0", "5.:5", "0000000000000000000015:15", "-32768:-32768",
              "32767:32767", "-32768.5:-32768"}) {
            const QString text = QString::fromUtf8(row);
            QTest::addRow("%s", row) << text.section(u':', 0, 0) << text.section(u':', 1);
        }
        for (const char* text : {"32768", "-32769", "32767.5", "99999999999999999999", "", "-", ".",
                                 "12a", "+-5", "- 5", "1 2", "1.2.3", "1e3", "１２"}) {
            QTest::addRow("%s", text) << QString::fromUtf8(text) << QString();
        }
    }
    void readsNumbers() {
        QFETCH(QString, text);
        QFETCH(QString, value);
        const std::optional<short> number = modIniFile::iniNumber(text);
        QCOMPARE(number ? QString::number(*number) : QString(), value);
    }

    // Over a record whose every field differs from the reset values.
    void readsLeniently_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<AppSettings>("expected");
        const AppSettings start = variant(1);
        QTest::newRow("keys and TRUE in any case")
            << QByteArray("[view flag searchword]\r\ntrue\r\n[View Flag Text]\r\nfalse\r\n")
            << with(start, [](AppSettings& s) {
                   s.gblnViewSearchWord = true;
                   s.gblnViewText = false;
               });
        // A key line where a value belongs is that value; so is the empty end of the file.
        QTest::newRow("only TRUE is True")
            << QByteArray("[VIEW FLAG TIMESTAMP]\r\n-1\r\n[MODE VALUE WINDOWFORWARD]\r\n TRUE\r\n"
                          "[VIEW FLAG TEXT]\r\n[VIEW FLAG FILESIZE]\r\nTRUE\r\n"
                          "[VIEW FLAG FILEPATH]\r\n")
            << with(start, [](AppSettings& s) {
                   s.gblnViewTimestamp = s.gblnModeWindowForward = s.gblnViewText = false;
                   s.gblnViewFilepath = false;
               });
        QTest::newRow("numbers in any order; the last one that reads decides")
            << QByteArray("[TYPE VALUE RETURNCODE]\r\n1\r\n[SIZE VALUE TEXTFONT]\r\n12\r\n"
                          "[SIZE VALUE TEXTFONT]\r\n20\r\n[SIZE VALUE TEXTFONT]\r\nabc\r\n"
                          "[MODE VALUE WINDOWSTATE]\r\n -1 \r\n[SIZE VALUE LINECOUNT]\r\n7\r\n"
                          "[COLOR VALUE BACKGROUND]\r\n4\r\n[SIZE VALUE BUFFERSIZE]\r\n3\r\n"
                          "[COLOR VALUE TEXTFONT]\r\n")
            << with(start, [](AppSettings& s) {
                   s.gintTypeReturnCode = 1;
                   s.gintSizeTextFont = 20;
                   s.gintModeWindowState = -1;
                   s.gintSizeLineCount = 7;
                   s.gintColorBackground = 4;
                   s.gintSizeBufferSize = 3;
               });
        // CR LF, LF and a lone CR each end a line; a line longer than a path reads as empty.
        const QByteArray longest(4095, 'y');
        QTest::newRow("recent list: ten lines as they stand, the keys after it too")
            << "[list file recent]\r\n /Var/Log/A.log \n\r[SIZE VALUE TEXTFONT]\r20\r" + longest +
                   "\r\n" + longest + "y\r\n/z\r"
            << with(start, [&](AppSettings& s) {
                   s.gstrRecentFiles = {" /Var/Log/A.log ",
                                        "",
                                        "[SIZE VALUE TEXTFONT]",
                                        "20",
                                        QString(longest),
                                        "",
                                        "/z"};
               });
        QTest::newRow("blanks around keys and binary junk are no keys")
            << " [VIEW FLAG TEXT]\r\nFALSE\r\n[VIEW FLAG TEXT] \r\nFALSE\r\n" +
                   QByteArray("\0\xff\xfe", 3) + "[VIEW FLAG TEXT]" + QByteArray(1, '\0') +
                   "\r\nFALSE\r\n\x81\x40\r\n\xff\r\n[SIZE VALUE TEXTFONT]\r\n20\r\n"
            << with(start, [](AppSettings& s) { s.gintSizeTextFont = 20; });
    }
    void readsLeniently() {
        QFETCH(QByteArray, text);
        QFETCH(AppSettings, expected);
        QCOMPARE(parsed(text, variant(1)), expected);
    }

    // Reading over another record proves that every field comes from the text.
    void everyFieldReadsBack() {
        for (const int v : {1, 2}) {
            QCOMPARE(parsed(modIniFile::settingsText(variant(v)), variant(3 - v)), variant(v));
        }
    }

    // Recent paths that would not read back as written are left out, and the gap closed.
    void recentPathsReadBackAsWritten_data() {
        QTest::addColumn<QStringList>("recent");
        QTest::addColumn<QStringList>("readBack");
        QTest::newRow("line breaks") << QStringList{"/a", "", "/b\nc", "/d\r", "\r", "x\r\ny", "/e"}
                                     << QStringList{"/a", "", "/e"};
        const QStringList marks{"/logs/R&D/a&&b.log", "/q/\"quoted\".log",
                                " /blank around/ ",   "[LIST FILE RECENT]",
                                "C:\\logs\\x.log",    QString::fromUtf16(u"/a\0b\t\x1b.log", 10)};
        QTest::newRow("marks and controls") << marks << marks;
        // As long a line as the reader takes, in characters of three bytes each.
        const QString longest = QString(4095 / 3, QChar(0x30ED));
        QTest::newRow("longest line the reader takes, and one more byte")
            << QStringList{longest, longest + "x", "/b"} << QStringList{longest, "/b"};
    }
    void recentPathsReadBackAsWritten() {
        QFETCH(QStringList, recent);
        QFETCH(QStringList, readBack);
        AppSettings saved = with(variant(1), [](AppSettings& s) { s.gstrRecentFiles = {}; });
        AppSettings expected = saved;
        std::copy(recent.begin(), recent.end(), saved.gstrRecentFiles.begin());
        std::copy(readBack.begin(), readBack.end(), expected.gstrRecentFiles.begin());
        const QByteArray text = modIniFile::settingsText(saved);
        QCOMPARE(text.count('\n'), 51);
        QCOMPARE(parsed(text), expected);
    }

    void shiftJisLocaleWritesShiftJis() {
        const QByteArray before = std::setlocale(LC_ALL, nullptr);
        const auto restore = qScopeGuard([&] { std::setlocale(LC_ALL, before.constData()); });
        if (std::setlocale(LC_ALL, "ja_JP.SJIS") == nullptr) {
            QSKIP("the locale ja_JP.SJIS is missing: scripts/deps makes it");
        }
        // Paths with characters that Shift_JIS lacks would read back as other paths.
        const QString japanese = QStringLiteral("/var/log/日本語/ｱﾌﾟﾘ.log");
        AppSettings saved = fresh();
        saved.gstrRecentFiles = {japanese, "/tmp/café.log", "/tmp/😀.log", "/b.log"};
        const QByteArray text = modIniFile::settingsText(saved);
        QVERIFY(text.contains(QByteArray(QStringEncoder("Shift_JIS").encode(japanese))));
        saved.gstrRecentFiles = {japanese, "/b.log"};
        QCOMPARE(parsed(text), saved);
    }

    // Saved where the window started, as a file of its own, keeping links, owners and modes;
    // or left as it was, with the reason on standard error. Each row writes its bytes to the
    // settings file, then sets the folder up in the shell, with $1 a path in another folder.
    void startAndClose_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QString>("during"); // start and close as root, "nobody", on a "full" disk
        QTest::addColumn<AppSettings>("loaded");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("after"); // what stat(1) then says of the settings file
        const auto row = [](const char* name, const QByteArray& bytes, const char* shell,
                            const char* during, const AppSettings& loaded, bool saved,
                            const char* after = "regular file root 1 644") {
            QTest::newRow(name) << bytes << QString(shell) << QString(during) << loaded << saved
                                << QString(after);
        };
        const QByteArray old = modIniFile::settingsText(variant(1));
        QByteArray junk(40'000, Qt::Uninitialized);
        QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
        row("no file yet", {}, ":", "", fresh(), true);
        row("junk, then a key", junk + "\r\n[SIZE VALUE TEXTFONT]\r\n15\r\n",
            "chmod 640 Logwarden.ini", "",
            with(fresh(), [](AppSettings& s) { s.gintSizeTextFont = 15; }), true,
            "regular file root 1 640");
        row("values no menu has",
            "[SIZE VALUE LINECOUNT]\r\n7\r\n[SIZE VALUE BUFFERSIZE]\r\n-1\r\n"
            "[COLOR VALUE BACKGROUND]\r\n9\r\n[COLOR VALUE TEXTFONT]\r\n0\r\n"
            "[SIZE VALUE TEXTFONT]\r\n32767\r\n[TYPE VALUE RETURNCODE]\r\n3\r\n"
            "[MODE VALUE WINDOWSTATE]\r\n5\r\n",
            ":", "", fresh(), true);
        // The loader stops where no settings file can go on: a huge file costs nothing.
        row("sparse 4 GiB hides a key", {},
            "truncate -s 4G Logwarden.ini && printf '\\n[SIZE VALUE TEXTFONT]\\n15\\n' "
            ">>Logwarden.ini",
            "", fresh(), true);
        row("folder", {}, "mkdir Logwarden.ini", "", fresh(), false, "directory root 2 755");
        row("FIFO", {}, "mkfifo Logwarden.ini", "", fresh(), true);
        row("link to a device", {}, "ln -s /dev/zero Logwarden.ini", "", fresh(), true);
        // Replacing it would lose settings this process never saw.
        row("unreadable", old, "chmod 0 Logwarden.ini && chmod 777 .", "nobody", fresh(), false,
            "regular file root 1 0");
        row("read-only folder, writable file", old, "chown nobody Logwarden.ini && chmod 555 .",
            "nobody", variant(1), true, "regular file nobody 1 644");
        row("read-only folder and file", old,
            "chown nobody Logwarden.ini && chmod 444 Logwarden.ini && chmod 555 .", "nobody",
            variant(1), false, "regular file nobody 1 444");
        row("disk refuses the bytes", old, ":", "full", variant(1), false);
        row("second hard link", old, "ln Logwarden.ini \"$1\"", "", variant(1), true,
            "regular file root 2 644");
        row("another user's file", old, "chown nobody Logwarden.ini", "", variant(1), true,
            "regular file nobody 1 644");
        row("link to a file elsewhere", old,
            "mv Logwarden.ini \"$1\" && ln -s \"$1\" Logwarden.ini", "", variant(1), true);
        row("dangling link", {}, "ln -s \"$1\" Logwarden.ini", "", fresh(), true);
        // The target lies in a folder only root may enter.
        row("link, read-only folder", old,
            "mv Logwarden.ini \"$1\" && ln -s \"$1\" Logwarden.ini && chmod 555 .", "nobody",
            fresh(), false, "symbolic link root 1 777");
        row("leftover of a killed save", old,
            "head -c 99 Logwarden.ini >Logwarden.ini.tmp.x7k2qa && "
            "touch -d 2001-09-09 Logwarden.ini.tmp.x7k2qa",
            "", variant(1), true);
    }
    void startAndClose() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shell);
        QFETCH(QString, during);
        QFETCH(AppSettings, loaded);
        QFETCH(bool, saved);
        QFETCH(QString, after);
        if (::geteuid() != 0 && (shell.contains(u"chown") || during == u"nobody")) {
            QSKIP("giving a file to another user, or giving up root's rights, needs root");
        }
        ::umask(022);
        TempWorkDir dir;
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("target.ini"));
        if (!bytes.isEmpty()) {
            dir.write(IniName, bytes);
        }
        QCOMPARE(sh(shell + " && echo done", target), QStringLiteral("done"));
        std::optional<PlainUser> user;
        if (during == u"nobody") {
            QVERIFY2(user.emplace().modesApply(), "cannot give up root's rights over file modes");
        }
        StartedForm w;
        QCOMPARE(w.settings(), loaded);
        w.form.mnuTextSizeValue.click(12);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit unlimited = limit;
        if (during == u"full") {
            limit.rlim_cur = 64; // writes beyond fail with EFBIG
            std::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        w.form.Form_QueryUnload();
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        user.reset();

        QCOMPARE(w.port.errors.size(), std::size_t(saved ? 0 : 1));
        QCOMPARE(sh("ls -A"), IniName);
        QCOMPARE(sh("stat -c '%F %U %h %a' Logwarden.ini"), after);
        QCOMPARE(fileBytes(IniName), saved ? modIniFile::settingsText(w.settings()) : bytes);
        if (shell.contains(u"-s \"$1\"")) {
            QCOMPARE(fileBytes(target), bytes); // never written through the link
        }
    }

    // Every choice stored is shown at start, and the close writes the file back as it was.
    void storedChoicesAreReplayed() {
        const QByteArray text =
            "[MODE VALUE WINDOWSTATE]\r\n2\r\n\r\n[MODE VALUE WINDOWFORWARD]\r\nTRUE\r\n\r\n"
            "[VIEW FLAG TIMESTAMP]\r\nFALSE\r\n\r\n[VIEW FLAG FILESIZE]\r\nTRUE\r\n\r\n"
            "[VIEW FLAG FILEPATH]\r\nTRUE\r\n\r\n[VIEW FLAG SEARCHWORD]\r\nTRUE\r\n\r\n"
            "[VIEW FLAG TEXT]\r\nTRUE\r\n\r\n[COLOR VALUE BACKGROUND]\r\n3\r\n\r\n"
            "[COLOR VALUE TEXTFONT]\r\n5\r\n\r\n[SIZE VALUE TEXTFONT]\r\n15\r\n\r\n"
            "[SIZE VALUE LINECOUNT]\r\n5\r\n\r\n[SIZE VALUE BUFFERSIZE]\r\n8\r\n\r\n"
            "[TYPE VALUE RETURNCODE]\r\n1\r\n\r\n[LIST FILE RECENT]\r\n/logs/server.log\r\n"
            "/logs/batch.log\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
        TempWorkDir dir;
        dir.write(IniName, text);
        StartedForm w;
        frmMain& form = w.form;
        QList<int> checks;
        for (const ui::MenuArray* group :
             {&form.mnuBGColorVal, &form.mnuTextColorVal, &form.mnuTextSizeValue,
              &form.mnuOptionLineCount, &form.mnuOptionBufferSize, &form.mnuOptionNewLineType}) {
            for (const int index : group->indices()) {
                if ((*group)[index].checked()) {
                    checks << index;
                }
            }
        }
        QCOMPARE(checks, (QList<int>{3, 5, 15, 5, 8, 1}));
        QVERIFY(form.window.windowState() == ui::WindowState::Maximized);
        QCOMPARE(form.txtView.backColor(), (ui::Color{192, 255, 255}));
        QCOMPARE(form.txtView.foreColor(), (ui::Color{255, 255, 0}));
        QCOMPARE(form.txtView.fontSize(), 15);
        QVERIFY(!form.mnuViewTimestamp.checked() && form.mnuViewSearchWord.checked());
        QVERIFY(form.mnuViewForward.checked() && w.port.forwardCalls.back());
        QCOMPARE(form.mnuRecentList[1].caption(), QStringLiteral("&1. /logs/server.log"));
        QVERIFY(form.mnuRecentList[2].visible() && !form.mnuRecentList[3].visible());
        QCOMPARE(form.GetLineCount(), 50);
        QCOMPARE(form.GetBufferSize(), 200);
        form.Form_QueryUnload();
        QCOMPARE(fileBytes(IniName), text);
    }

    void twoProcessesClosingAtOnceLeaveOneWholeFile() {
        TempWorkDir dir;
        QTemporaryDir fifoDir;
        const QString go = fifoDir.filePath(QStringLiteral("go"));
        QCOMPARE(::mkfifo(QFile::encodeName(go).constData(), 0600), 0);
        // The rounds start from a third file, so that a first round in which both saves fail
        // shows.
        const AppSettings before = with(fresh(), [](AppSettings& s) { s.gintSizeTextFont = 12; });
        QVERIFY(!modIniFile::SaveIniFile(before));
        QProcess closers[2];
        for (int i = 0; i < 2; ++i) {
            closers[i].setWorkingDirectory(dir.path({}));
            closers[i].start(QCoreApplication::applicationFilePath(),
                             {QStringLiteral("--closer"), QString::number(i + 1), go});
        }
        for (int round = 0; round < 200; ++round) {
            for (QProcess& closer : closers) {
                closer.write("window\n");
                QVERIFY(nextLineIs(closer, "ready"));
            }
            QFile release(go);
            QVERIFY(release.open(QIODevice::WriteOnly));
            // A window starting meanwhile must find one whole file, whichever it is.
            const QDeadlineTimer deadline(30'000);
            while (!closers[0].canReadLine() || !closers[1].canReadLine()) {
                AppSettings seen;
                modIniFile::LoadIniFile(seen);
                QVERIFY(seen == before || seen == variant(1) || seen == variant(2));
                QVERIFY(!deadline.hasExpired());
                for (QProcess& closer : closers) {
                    closer.waitForReadyRead(0);
                }
            }
            for (QProcess& closer : closers) {
                QVERIFY(nextLineIs(closer, "done"));
            }
            const QByteArray bytes = fileBytes(IniName);
            QVERIFY(bytes == modIniFile::settingsText(variant(1)) ||
                    bytes == modIniFile::settingsText(variant(2)));
            QCOMPARE(sh("ls -A"), IniName);
        }
        for (QProcess& closer : closers) {
            closer.closeWriteChannel();
            QVERIFY(closer.waitForFinished(30'000));
            QCOMPARE(closer.exitCode(), 0);
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--closer") == 0) {
        return closer(std::atoi(argv[2]), argv[3]);
    }
    QCoreApplication app(argc, argv);
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
