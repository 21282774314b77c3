// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "settings/IniFile.h"
#include "settings/IniNumber.h"
#ifdef Q_OS_WIN
#include "platform/TextCodec.h"
#endif

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>
#include <climits>
#include <clocale>
#include <csignal>
#include <filesystem>
#ifndef Q_OS_WIN
#include "PlainUser.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// The settings file: how it is read and written, and what start-up and close do with it when
// it is not what the saver wrote, cannot be written, or is written by two processes at once.

using settings::AppSettings;
namespace modIniFile = settings::modIniFile;

Q_DECLARE_METATYPE(AppSettings)

namespace {

const QString IniName = QString::fromLatin1(modIniFile::FileName);

// What a window started without a settings file has (the start-and-close table checks it).
AppSettings fresh() {
    const TempWorkDir dir;
    const StartedForm w;
    return w.settings();
}

template <class Change> AppSettings with(AppSettings s, Change change) {
    change(s);
    return s;
}

AppSettings parsed(const QByteArray& text, AppSettings start = fresh()) {
    modIniFile::readSettings(text, start);
    return start;
}

// Records 1 and 2 differ in every field, so that a file mixed from both, or cut short, matches
// neither; 3 and up differ from 2 in their recent paths only.
AppSettings variant(int v) {
    const bool one = v == 1;
    const auto n = [one](int a, int b) {
        return short(one ? a : b);
    };
    AppSettings s{
        one,     !one,    one, !one,     one, n(2, 5), n(3, 6), n(15, SHRT_MIN), n(10, SHRT_MAX),
        n(8, 4), n(2, 1), one, n(2, -1), {}};
    for (int i = 0; i < AppSettings::RecentCount; ++i) {
        s.gstrRecentFiles.at(i) = QStringLiteral("/var/log/%1/ログ %2.log").arg(v).arg(i);
    }
    return s;
}

// The record with these recent paths first, and no others.
AppSettings withRecent(AppSettings s, const QStringList& paths) {
    s.gstrRecentFiles = {};
    std::copy(paths.begin(), paths.end(), s.gstrRecentFiles.begin());
    return s;
}

QByteArray fileBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#ifndef Q_OS_WIN
// The output of a shell command run in the current folder, with the settings file as $f and
// `arg` as $1.
QString sh(const QString& command, const QString& arg = {}) {
    QProcess shell;
    shell.start("sh", {"-c", "f=Logwarden.ini && " + command, "sh", arg});
    shell.waitForFinished();
    return QString::fromLocal8Bit(shell.readAllStandardOutput().trimmed());
}
#endif

// One process of the close race: closes 300 windows with the settings of `v`, and fails when a
// save fails or a load between them finds anything but one whole file.
int closer(int v) {
    for (int i = 0; i < 300; ++i) {
        AppSettings seen;
        modIniFile::LoadIniFile(seen);
        StartedForm w;
        static_cast<AppSettings&>(w.global) = variant(v);
        w.form.Form_QueryUnload();
        if (!w.port.errors.empty() ||
            (seen != variant(1) && seen != variant(2) && seen != variant(3))) {
            return 1;
        }
    }
    return 0;
}

} // namespace

class IniFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsNumbers() {
        // The text, a colon, and the number it reads as (to even at a half, in 16 bits), or
        // nothing when it is refused.
        for (const QString& row :
             QStringLiteral("12:12| \t+12 :12|-7:-7|2.5:2|3.5:4|-3.5:-4|2.5000001:3|2.50000:2|"
                            "2.4999:2|.5:0|5.:5|0000000000000000000015:15|-32768:-32768|"
                            "32767:32767|-32768.5:-32768|32768:|-32769:|32767.5:|"
                            "99999999999999999999:|:|-:|.:|12a:|+-5:|- 5:|1 2:|1.2.3:|1e3:|１２:")
                 .split(u'|')) {
            const QString text = row.section(u':', 0, 0);
            const std::optional<short> number = modIniFile::iniNumber(text);
            QCOMPARE(text + ':' + (number ? QString::number(*number) : QString()), row);
        }
    }

    // Hand-edited and written text, read over a record whose every field differs from the reset
    // values and from variant(2).
    void readsSettingsText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<AppSettings>("expected");
        const AppSettings start = variant(1);
        QTest::newRow("every field as written")
            << modIniFile::settingsText(variant(2)) << variant(2);
        // A key line where a value belongs is that value; so is the empty end of the file.
        QTest::newRow("keys in any case; only TRUE in any case is True")
            << QByteArray("[view flag searchword]\r\ntrue\r\n[View Flag Text]\r\nfalse\r\n"
                          "[VIEW FLAG TIMESTAMP]\r\n-1\r\n[MODE VALUE WINDOWFORWARD]\r\n TRUE\r\n"
                          "[VIEW FLAG TEXT]\r\n[VIEW FLAG FILESIZE]\r\nTRUE\r\n"
                          "[VIEW FLAG FILEPATH]\r\n")
            << with(start, [](AppSettings& s) {
                   s.gblnViewSearchWord = true;
                   s.gblnViewTimestamp = s.gblnModeWindowForward = s.gblnViewText =
                       s.gblnViewFilepath = false;
               });
        // Blanks around a key, or a NUL after it, make no key.
        QTest::newRow("numbers in any order; the last one that reads decides")
            << "[TYPE VALUE RETURNCODE]\r\n1\r\n[SIZE VALUE TEXTFONT]\r\n12\r\n"
               "[SIZE VALUE TEXTFONT]\r\n20\r\n[SIZE VALUE TEXTFONT]\r\nabc\r\n"
               "[MODE VALUE WINDOWSTATE]\r\n -1 \r\n[SIZE VALUE LINECOUNT]\r\n7\r\n"
               "[COLOR VALUE BACKGROUND]\r\n4\r\n [SIZE VALUE BUFFERSIZE]\r\n5\r\n"
               "[SIZE VALUE BUFFERSIZE] \r\n5\r\n\0\xff\xfe[SIZE VALUE BUFFERSIZE]\0\r\n5\r\n"
               "\x81\x40\r\n\xff\r\n[SIZE VALUE BUFFERSIZE]\r\n3\r\n[COLOR VALUE TEXTFONT]\r\n"_qba
            << with(start, [](AppSettings& s) {
                   s.gintTypeReturnCode = 1, s.gintSizeTextFont = 20, s.gintModeWindowState = -1;
                   s.gintSizeLineCount = 7, s.gintColorBackground = 4, s.gintSizeBufferSize = 3;
               });
        // CR LF, LF and a lone CR each end a line; a line longer than a path reads as empty.
        const QByteArray longest(4095, 'y');
        QTest::newRow("recent list: ten lines as they stand, the keys after it too")
            << "[list file recent]\r\n /Var/Log/A.log \n\r[SIZE VALUE TEXTFONT]\r20\r" + longest +
                   "\r\n" + longest + "y\r\n/z\r"
            << withRecent(start, {" /Var/Log/A.log ", "", "[SIZE VALUE TEXTFONT]", "20",
                                  QString(longest), "", "/z"});
        // Recent paths that would not read back as written are left out, and the gap closed;
        // the longest line the reader takes is one of characters of three bytes.
        const QString ro(QChar(0x30ED));
        const qsizetype width = platform::encodeSystemText(ro).size();
        const QString longestPath = ro.repeated(4095 / width) + QString(4095 % width, u'x');
        const QStringList marks{" /R&D/\"x\" ", "[LIST FILE RECENT]", "C:\\x.log",
                                QString::fromUtf16(u"/a\0b\t\x1b.log", 10)};
        QTest::newRow("recent paths with line breaks, or too long, are left out")
            << modIniFile::settingsText(withRecent(
                   start,
                   QStringList{"/a", "", "/b\nc", "/d\r", longestPath + "x", longestPath} + marks))
            << withRecent(start, QStringList{"/a", "", longestPath} + marks);
    }
    void readsSettingsText() {
        QFETCH(QByteArray, text);
        QFETCH(AppSettings, expected);
        QCOMPARE(parsed(text, variant(1)), expected);
    }

    // Characters that Shift_JIS lacks would read back as other paths. On Windows the code page
    // is the system's (932 where Wine runs under a Japanese LANG): the file goes there and back
    // byte for byte.
    void shiftJisLocaleLeavesOutWhatItCannotWrite() {
        const QByteArray before = std::setlocale(LC_ALL, nullptr);
        const auto restore = qScopeGuard([&] { std::setlocale(LC_ALL, before.constData()); });
#ifdef Q_OS_WIN
        if (platform::systemCodeSet() != "CP932") {
            QSKIP("the code page is not 932: Wine takes it from LC_ALL=ja_JP.UTF-8");
        }
#else
        if (std::setlocale(LC_ALL, "ja_JP.SJIS") == nullptr) {
            QSKIP("the locale ja_JP.SJIS is missing: scripts/deps makes it");
        }
#endif
        const QString japanese = QStringLiteral("/var/log/日本語/ｱﾌﾟﾘ.log");
        const AppSettings saved =
            withRecent(variant(1), {japanese, "/tmp/café.log", "/tmp/😀.log", "/b"});
        QCOMPARE(parsed(modIniFile::settingsText(saved)), withRecent(variant(1), {japanese, "/b"}));
#ifdef Q_OS_WIN
        const TempWorkDir dir;
        QVERIFY(!modIniFile::SaveIniFile(saved));
        const QByteArray bytes = fileBytes(IniName);
        QCOMPARE(bytes.count("\r\n"), 51);
        QCOMPARE(bytes.count('\n'), 51);
        QVERIFY(
            bytes.contains("\r\n/var/log/\x93\xfa\x96\x7b\x8c\xea/\xb1\xcc\xdf\xd8.log\r\n/b\r\n"));
        AppSettings loaded;
        QVERIFY(!modIniFile::LoadIniFile(loaded));
        QCOMPARE(loaded, withRecent(variant(1), {japanese, "/b"}));
        QVERIFY(!modIniFile::SaveIniFile(loaded));
        QCOMPARE(fileBytes(IniName), bytes);
#endif
    }

    // Saved where the window started, as a file of its own, keeping links, owners and modes;
    // or left as it was, with the reason on standard error. Each row writes its bytes to the
    // settings file $f, then sets the folder up in the shell, with $1 a path in another folder.
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
        const QByteArray junk = QByteArray("[\xff\0\r\n[SIZE VALUE", 16).repeated(2500);
        // What a window is designed with, and this platform's LF line ends.
        const AppSettings none{true, true, true, false, true, 1, 1, 9, 2, 1, 0, false, 2, {}};
        const AppSettings v1 = variant(1);
        const AppSettings font15 = with(none, [](AppSettings& s) { s.gintSizeTextFont = 15; });
        row("no file yet", {}, "rm $f", "", none, true);
        row("junk, then a key", junk + "\n[SIZE VALUE TEXTFONT]\n15\n", "chmod 640 $f", "", font15,
            true, "regular file root 1 640");
        row("values no menu has",
            "[SIZE VALUE LINECOUNT]\n7\n[SIZE VALUE BUFFERSIZE]\n-1\n[COLOR VALUE BACKGROUND]\n9\n"
            "[COLOR VALUE TEXTFONT]\n0\n[SIZE VALUE TEXTFONT]\n32767\n[TYPE VALUE RETURNCODE]\n3\n"
            "[MODE VALUE WINDOWSTATE]\n5\n",
            ":", "", none, true);
        // The loader stops where no settings file can go on: a huge file costs nothing.
        row("sparse 4 GiB hides a key", {},
            "truncate -s 4G $f && printf '\\n[SIZE VALUE TEXTFONT]\\n15\\n' >>$f", "", none, true);
        row("folder", {}, "rm $f && mkdir $f", "", none, false, "directory root 2 755");
        row("FIFO", {}, "rm $f && mkfifo $f", "", none, true);
        row("link to a device", {}, "ln -sf /dev/zero $f", "", none, true);
        // Replacing it would lose settings this process never saw.
        row("unreadable", old, "chmod 0 $f && chmod 777 .", "nobody", none, false,
            "regular file root 1 0");
        row("read-only folder, writable file", old, "chown nobody $f && chmod 555 .", "nobody", v1,
            true, "regular file nobody 1 644");
        row("read-only folder and file", old, "chown nobody $f && chmod 444 $f && chmod 555 .",
            "nobody", v1, false, "regular file nobody 1 444");
        row("disk refuses the bytes", old, ":", "full", v1, false);
        row("second hard link", old, "ln $f \"$1\"", "", v1, true, "regular file root 2 644");
        row("another user's file", old, "chown nobody $f", "", v1, true,
            "regular file nobody 1 644");
        // A user's own link to a file of theirs is written through, as dotfile managers want;
        // anyone else's link is never written through.
        row("own link to an own file", old, "mv $f \"$1\" && ln -s \"$1\" $f", "", v1, true,
            "symbolic link root 1 777");
        row("another user's link", old, "mv $f \"$1\" && ln -s \"$1\" $f && chown -h nobody $f", "",
            v1, true);
        // The target lies in a folder only root may enter.
        row("link, read-only folder", old, "mv $f \"$1\" && ln -s \"$1\" $f && chmod 555 .",
            "nobody", none, false, "symbolic link root 1 777");
        row("leftover of a killed save", old,
            "head -c 99 $f >$f.tmp.x7k2qa && touch -d 2001-09-09 $f.tmp.x7k2qa", "", v1, true);
        row("a user's own file named like one", old,
            "echo mine >$f.tmp.backup && touch -d 2001-09-09 $f.tmp.backup", "", v1, true,
            "Logwarden.ini.tmp.backup\nregular file root 1 644");
        row("another user's readable file, as an ordinary user", old, "chmod 777 .", "nobody", v1,
            true, "regular file nobody 1 644");
        row("second hard link, disk refuses the bytes", old, "ln $f \"$1\"", "full", v1, false,
            "regular file root 2 644");
    }
    void startAndClose() {
#ifdef Q_OS_WIN
        QSKIP("the rows set the folder up with sh, file modes, owners and size limits");
#else
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
        dir.write(IniName, bytes);
        QCOMPARE(sh(shell + " && echo done", target), QStringLiteral("done"));
        std::optional<PlainUser> user;
        if (during == u"nobody") {
            QVERIFY2(user.emplace().modesApply(), "cannot give up root's rights over file modes");
        }
        StartedForm w;
        QCOMPARE(w.settings(), loaded);
        w.form.mnuTextSizeValue.click(12);
        if (during == u"full") {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit full{64, RLIM_INFINITY}; // writes beyond fail with EFBIG
            ::setrlimit(RLIMIT_FSIZE, &full);
        }
        w.form.Form_QueryUnload();
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        user.reset();

        QCOMPARE(w.port.errors.size(), std::size_t(saved ? 0 : 1));
        QCOMPARE(sh("ls -A && stat -c '%F %U %h %a' $f"), IniName + '\n' + after);
        QCOMPARE(fileBytes(IniName), saved ? modIniFile::settingsText(w.settings()) : bytes);
        if (shell.contains(u"-s \"$1\"")) {
            const bool through = saved && after.startsWith(u"symbolic link");
            QCOMPARE(fileBytes(target), through ? modIniFile::settingsText(w.settings()) : bytes);
        }
#endif
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
        QList<std::optional<int>> checks;
        for (const ui::MenuArray* group :
             {&form.mnuBGColorVal, &form.mnuTextColorVal, &form.mnuTextSizeValue,
              &form.mnuOptionLineCount, &form.mnuOptionBufferSize, &form.mnuOptionNewLineType}) {
            checks << group->firstChecked();
        }
        QCOMPARE(checks, (QList<std::optional<int>>{3, 5, 15, 5, 8, 1}));
        QVERIFY(form.window.windowState() == ui::WindowState::Maximized);
        QCOMPARE(form.txtView.backColor(), (ui::Color{192, 255, 255}));
        QCOMPARE(form.txtView.foreColor(), (ui::Color{255, 255, 0}));
        QCOMPARE(form.txtView.fontSize(), 15);
        QVERIFY(!form.mnuViewTimestamp.checked() && form.mnuViewSearchWord.checked());
        QVERIFY(form.mnuViewForward.checked() && w.port.forwardCalls.back());
        QVERIFY(form.mnuRecentList[2].visible() && !form.mnuRecentList[3].visible());
        form.Form_QueryUnload();
        QCOMPARE(fileBytes(IniName), text);
    }

    // Both start from a third file, so that saves that all fail show.
    void twoProcessesClosingAtOnceLeaveOneWholeFile_data() {
        QTest::addColumn<QString>("linked");
        QTest::newRow("replaced") << QString();
        QTest::newRow("rewritten in place") << QStringLiteral("second");
    }
    void twoProcessesClosingAtOnceLeaveOneWholeFile() {
        QFETCH(QString, linked);
        TempWorkDir dir;
        QVERIFY(!modIniFile::SaveIniFile(variant(3)));
        // A second hard link keeps the file's inode: it is rewritten in place.
        if (!linked.isEmpty()) {
            std::filesystem::create_hard_link("Logwarden.ini", linked.toStdString());
        }
        QProcess closers[2];
        for (int i = 0; i < 2; ++i) {
            closers[i].setWorkingDirectory(dir.path({}));
            closers[i].start(QCoreApplication::applicationFilePath(),
                             {QStringLiteral("--closer"), QString::number(i + 1)});
        }
        for (QProcess& closer : closers) {
            QVERIFY(closer.waitForFinished(120'000) &&
                    closer.exitStatus() == QProcess::NormalExit && closer.exitCode() == 0);
        }
        const QByteArray bytes = fileBytes(IniName);
        QVERIFY(bytes == modIniFile::settingsText(variant(1)) ||
                bytes == modIniFile::settingsText(variant(2)));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{IniName} + (linked.isEmpty() ? QStringList{} : QStringList{linked}));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--closer") == 0) {
        return closer(QByteArray(argv[2]).toInt());
    }
    QCoreApplication app(argc, argv);
    IniFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_inifile.moc"
