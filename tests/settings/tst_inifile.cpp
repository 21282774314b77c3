// SPDX-License-Identifier: MIT
#include "IniTestSupport.h"
#include "settings/IniLines.h"
#include "settings/IniNumber.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QtTest>
#include <clocale>
#include <functional>

namespace {

AppSettings changed(const std::function<void(AppSettings&)>& change,
                    AppSettings settings = resetSettings()) {
    change(settings);
    return settings;
}

QStringList readLines(const QByteArray& bytes) {
    modIniFile::IniTextFile file(bytes);
    QStringList lines;
    while (!file.atEnd()) {
        lines << modIniFile::ReadIniLine(file);
    }
    lines << modIniFile::ReadIniLine(file); // past the end: empty, no failure
    return lines;
}

QString randomPath(QRandomGenerator& random) {
    static const QStringList pieces{
        "/",  "\\",     "a",  "Z",    " ", "[", "]",    ".",
        "\t", "日本語", "ｶﾅ", "ログ", "ß", "é", "TRUE", "[VIEW FLAG TEXT]",
        "0",  "-",      "😀",
    };
    QString path;
    const int count = random.bounded(8);
    for (int i = 0; i < count; ++i) {
        path += pieces.at(random.bounded(pieces.size()));
    }
    return path;
}

AppSettings randomSettings(QRandomGenerator& random) {
    const auto flag = [&] {
        return random.bounded(2) == 1;
    };
    const auto number = [&] {
        return static_cast<short>(random.bounded(-32768, 32768));
    };
    AppSettings s;
    s.gblnViewTimestamp = flag();
    s.gblnViewFilesize = flag();
    s.gblnViewFilepath = flag();
    s.gblnViewSearchWord = flag();
    s.gblnViewText = flag();
    s.gintColorBackground = number();
    s.gintColorTextFont = number();
    s.gintSizeTextFont = number();
    s.gintSizeLineCount = number();
    s.gintSizeBufferSize = number();
    s.gintModeWindowState = number();
    s.gblnModeWindowForward = flag();
    s.gintTypeReturnCode = number();
    for (QString& path : s.gstrRecentFiles) {
        path = randomPath(random);
    }
    return s;
}

} // namespace

class IniFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsNumbers_data();
    void readsNumbers();
    void readsLeniently_data();
    void readsLeniently();
    void splitsLines_data();
    void splitsLines();
    void saveThenLoadGivesBackEveryField();
    void recentPathsReadBackAsWritten_data();
    void recentPathsReadBackAsWritten();
    void shiftJisLocaleWritesShiftJis();
};

void IniFileTest::readsNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "12" << true << 12;
    QTest::newRow("blanks around") << " \t12 " << true << 12;
    QTest::newRow("plus sign") << "+8" << true << 8;
    QTest::newRow("minus sign") << "-7" << true << -7;
    QTest::newRow("leading zeros") << "0000000000000000000015" << true << 15;
    QTest::newRow("2.5 to even") << "2.5" << true << 2;
    QTest::newRow("3.5 to even") << "3.5" << true << 4;
    QTest::newRow("-2.5 to even") << "-2.5" << true << -2;
    QTest::newRow("-3.5 to even") << "-3.5" << true << -4;
    QTest::newRow("just past half") << "2.5000001" << true << 3;
    QTest::newRow("half with zeros") << "2.50000" << true << 2;
    QTest::newRow("below half") << "2.4999" << true << 2;
    QTest::newRow("no whole part") << ".5" << true << 0;
    QTest::newRow("no fraction digits") << "5." << true << 5;
    QTest::newRow("smallest") << "-32768" << true << -32768;
    QTest::newRow("largest") << "32767" << true << 32767;
    QTest::newRow("rounds into range") << "-32768.5" << true << -32768;
    // Out of 16 bits, or not a plain decimal number.
    for (const char* text :
         {"32767.5", "32768", "-32769", "99999999999999999999999", "", "   ", "-", ".", "abc",
          "12a", "+-5", "- 5", "1 2", "1.2.3", "0x10", "1,000", "1e3", "１２"}) {
        QTest::addRow("refuses \"%s\"", text) << QString::fromUtf8(text) << false << 0;
    }
}

void IniFileTest::readsNumbers() {
    QFETCH(QString, text);
    QFETCH(bool, reads);
    QFETCH(int, value);
    const std::optional<short> number = modIniFile::iniNumber(text);
    QCOMPARE(number.has_value(), reads);
    if (reads) {
        QCOMPARE(int(*number), value);
    }
}

void IniFileTest::readsLeniently_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<AppSettings>("start");
    QTest::addColumn<AppSettings>("expected");
    const AppSettings reset = resetSettings();

    QTest::newRow("keys and TRUE in any case")
        << QByteArray("[view flag searchword]\r\ntrue\r\n[View Flag Text]\r\nfalse\r\n") << reset
        << changed([](AppSettings& s) {
               s.gblnViewSearchWord = true;
               s.gblnViewText = false;
           });
    for (const char* value : {"YES", "1", "-1", " TRUE", "TRUE ", "", "FALSE"}) {
        QTest::addRow("Boolean \"%s\" is False", value)
            << QByteArray("[VIEW FLAG TIMESTAMP]\r\n") + value + "\r\n"
            << reset << changed([](AppSettings& s) { s.gblnViewTimestamp = false; });
    }
    QTest::newRow("truncated after a Boolean key")
        << QByteArray("[VIEW FLAG TEXT]\r\n") << reset
        << changed([](AppSettings& s) { s.gblnViewText = false; });
    QTest::newRow("key line taken as the value of the key before it")
        << QByteArray("[VIEW FLAG TEXT]\r\n[VIEW FLAG SEARCHWORD]\r\nTRUE\r\n") << reset
        << changed([](AppSettings& s) { s.gblnViewText = false; });
    QTest::newRow("later occurrence that reads decides")
        << QByteArray("[SIZE VALUE TEXTFONT]\r\n12\r\n[SIZE VALUE TEXTFONT]\r\n15\r\n"
                      "[SIZE VALUE TEXTFONT]\r\nabc\r\n")
        << reset << changed([](AppSettings& s) { s.gintSizeTextFont = 15; });
    const AppSettings size15 = changed([](AppSettings& s) { s.gintSizeTextFont = 15; });
    QTest::newRow("missing value keeps the field")
        << QByteArray("[SIZE VALUE TEXTFONT]\r\n") << size15 << size15;
    QTest::newRow("values outside the menus are stored as read")
        << QByteArray("[MODE VALUE WINDOWSTATE]\r\n -1 \r\n[SIZE VALUE LINECOUNT]\r\n7\r\n")
        << reset << changed([](AppSettings& s) {
               s.gintModeWindowState = -1;
               s.gintSizeLineCount = 7;
           });
    QTest::newRow("entries in any order, without empty lines")
        << QByteArray("[TYPE VALUE RETURNCODE]\r\n2\r\n[LIST FILE RECENT]\r\n/a.log\r\n"
                      "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                      "[MODE VALUE WINDOWFORWARD]\r\nTRUE\r\n[COLOR VALUE TEXTFONT]\r\n3\r\n"
                      "[COLOR VALUE BACKGROUND]\r\n4\r\n[SIZE VALUE BUFFERSIZE]\r\n8\r\n")
        << reset << changed([](AppSettings& s) {
               s.gintTypeReturnCode = 2;
               s.gstrRecentFiles[0] = "/a.log";
               s.gblnModeWindowForward = true;
               s.gintColorTextFont = 3;
               s.gintColorBackground = 4;
               s.gintSizeBufferSize = 8;
           });
    QTest::newRow("short recent list swallows the keys after it")
        << QByteArray("[LIST FILE RECENT]\r\n/a\r\n/b\r\n[SIZE VALUE TEXTFONT]\r\n15\r\n") << reset
        << changed([](AppSettings& s) {
               s.gstrRecentFiles[0] = "/a";
               s.gstrRecentFiles[1] = "/b";
               s.gstrRecentFiles[2] = "[SIZE VALUE TEXTFONT]";
               s.gstrRecentFiles[3] = "15";
           });
    const AppSettings oldRecent = changed([](AppSettings& s) {
        for (QString& path : s.gstrRecentFiles) {
            path = "/old";
        }
    });
    QTest::newRow("recent lines past the end are empty, taken as they stand")
        << QByteArray("[list file recent]\r\n /Var/Log/A.log \r\n\r\n[x]") << oldRecent
        << changed([](AppSettings& s) {
               s.gstrRecentFiles = {};
               s.gstrRecentFiles[0] = " /Var/Log/A.log ";
               s.gstrRecentFiles[2] = "[x]";
           });
    QTest::newRow("blanks around a key line") << QByteArray(" [VIEW FLAG TEXT]\r\nFALSE\r\n"
                                                            "[VIEW FLAG TEXT] \r\nFALSE\r\n")
                                              << reset << reset;
    QTest::newRow("binary junk is dropped")
        << QByteArray("\0\xff\xfe", 3) + "[VIEW FLAG TEXT]\r\nFALSE\r\n\x81\x40\r\n" +
               "[VIEW FLAG TEXT]" + QByteArray(1, '\0') +
               "\r\nFALSE\r\n\xff\r\n[SIZE VALUE TEXTFONT]\r\n20\r\n"
        << reset << changed([](AppSettings& s) { s.gintSizeTextFont = 20; });
}

void IniFileTest::readsLeniently() {
    QFETCH(QByteArray, text);
    QFETCH(AppSettings, start);
    QFETCH(AppSettings, expected);
    QCOMPARE(parsed(text, start), expected);
}

void IniFileTest::splitsLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    const QByteArray longest(modIniFile::IniTextFile::MaxLineBytes, 'y');
    QTest::newRow("empty") << QByteArray() << QStringList{""};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b", ""};
    QTest::newRow("last line unended") << QByteArray("a\r\nb") << QStringList{"a", "b", ""};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\n\r") << QStringList{"", "", "", ""};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b", ""};
    QTest::newRow("longest line kept") << longest + "\r\n" << QStringList{QString(longest), ""};
    QTest::newRow("one byte more reads empty") << longest + "y\nz" << QStringList{"", "z", ""};
    QTest::newRow("system code page")
        << QByteArray("日本語 ログ\r\n") << QStringList{"日本語 ログ", ""};
}

void IniFileTest::splitsLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(readLines(bytes), lines);
}

void IniFileTest::saveThenLoadGivesBackEveryField() {
    QRandomGenerator random(20240305);
    for (int round = 0; round < 500; ++round) {
        const AppSettings saved = randomSettings(random);
        const QByteArray text = modIniFile::settingsText(saved);
        QCOMPARE(text.count("\r\n"), 51);
        QCOMPARE(text.count('\n'), 51);
        QCOMPARE(text.count('\r'), 51);
        QVERIFY(text.endsWith("\r\n\r\n"));
        // Reading over another record proves that every field comes from the text.
        QCOMPARE(parsed(text, randomSettings(random)), saved);
    }
}

void IniFileTest::recentPathsReadBackAsWritten_data() {
    QTest::addColumn<QStringList>("recent");
    QTest::addColumn<QStringList>("readBack");
    QTest::newRow("LF inside") << QStringList{"/a", "/b\nc", "/d"} << QStringList{"/a", "/d"};
    QTest::newRow("CR at the end") << QStringList{"/a\r", "/b"} << QStringList{"/b"};
    QTest::newRow("gap before it stays")
        << QStringList{"/a", "", "\r\n", "/d"} << QStringList{"/a", "", "/d"};
    QTest::newRow("all of them") << QStringList{"\n", "\r", "x\r\ny"} << QStringList{};
    const QStringList marks{"/logs/R&D/a&&b.log", "/q/\"quoted\".log",  "/q/'single'.log",
                            " /blank around/ ",   "[LIST FILE RECENT]", "C:\\logs\\x.log"};
    QTest::newRow("ampersands, quotes, blanks, brackets") << marks << marks;
    const QString deep = QStringLiteral("/deep").repeated(4096 / 5);
    QTest::newRow("path longer than PATH_MAX")
        << QStringList{deep, "/b"} << QStringList{deep, "/b"};
    // A line as long as the reader takes; in UTF-8 each of these is three bytes.
    const QString longest = QString(modIniFile::IniTextFile::MaxLineBytes / 3, QChar(0x30ED)) +
                            QString(modIniFile::IniTextFile::MaxLineBytes % 3, u'x');
    QTest::newRow("longest line the reader takes")
        << QStringList{longest, "/b"} << QStringList{longest, "/b"};
    QTest::newRow("longer than the reader takes")
        << QStringList{"/a", longest + "x", "/b"} << QStringList{"/a", "/b"};
    QTest::newRow("NUL and other controls")
        << QStringList{QString::fromUtf16(u"/a\0b\t\x1b.log", 10)}
        << QStringList{QString::fromUtf16(u"/a\0b\t\x1b.log", 10)};
}

void IniFileTest::recentPathsReadBackAsWritten() {
    QFETCH(QStringList, recent);
    QFETCH(QStringList, readBack);
    AppSettings saved = resetSettings();
    std::copy(recent.begin(), recent.end(), saved.gstrRecentFiles.begin());
    const QByteArray text = modIniFile::settingsText(saved);
    QCOMPARE(text.count('\n'), 51);
    const AppSettings loaded = parsed(text);
    QStringList got(loaded.gstrRecentFiles.begin(), loaded.gstrRecentFiles.end());
    while (readBack.size() < AppSettings::RecentCount) {
        readBack << QString();
    }
    QCOMPARE(got, readBack);
    AppSettings rest = loaded;
    rest.gstrRecentFiles = saved.gstrRecentFiles;
    QCOMPARE(rest, saved);
}

void IniFileTest::shiftJisLocaleWritesShiftJis() {
    const QByteArray before = std::setlocale(LC_ALL, nullptr);
    const auto restore = qScopeGuard([&] { std::setlocale(LC_ALL, before.constData()); });
    if (std::setlocale(LC_ALL, "ja_JP.SJIS") == nullptr) {
        QSKIP("the locale ja_JP.SJIS is missing: scripts/deps makes it");
    }
    const QString japanese = QStringLiteral("/var/log/日本語/ｱﾌﾟﾘ.log");
    AppSettings saved = resetSettings();
    // Paths with characters that Shift_JIS lacks would read back as other paths.
    saved.gstrRecentFiles = {japanese, "/tmp/café.log", "/tmp/😀.log", "/b.log"};
    const QByteArray text = modIniFile::settingsText(saved);
    QCOMPARE(text.count('\n'), 51);
    QVERIFY(text.contains(QByteArray(QStringEncoder("Shift_JIS").encode(japanese))));
    const AppSettings loaded = parsed(text);
    QCOMPARE(loaded.gstrRecentFiles[0], japanese);
    QCOMPARE(loaded.gstrRecentFiles[1], QStringLiteral("/b.log"));
    QCOMPARE(loaded.gstrRecentFiles[2], QString());
}

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_inifile.moc"
