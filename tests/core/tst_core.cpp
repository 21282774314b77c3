// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "Rows.h"
#include "TailOracle.h"
#include "core/CommandLine.h"
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/TailRender.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>

namespace {

constexpr TailEncoding detect = TailEncoding::Auto;

QByteArray sjis(const char* text) {
    return QStringEncoder("Shift_JIS").encode(QString::fromUtf8(text));
}

QByteArray euc(const char* text) {
    return QStringEncoder("EUC-JP").encode(QString::fromUtf8(text));
}

void setModified(const QString& path, std::int64_t seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// A log opened with the default settings.
struct Window : LoadedForm {
    explicit Window(const QByteArray& text = "ok 1\nERR 2\nok 3\nERR 4\n") {
        form.OpenWatchedFile(dir.write("app.log", text));
    }
};

// Bytes, cut, encoding chosen; the text and the encoding named.
using Decode = std::tuple<const char*, QByteArray, bool, TailEncoding, QString, QString>;
// Tail, line end, extraction, keyword; the view's text.
using Render = std::tuple<const char*, QString, QString, bool, QString, QString>;
// A file of this name is written; the command line names it, or is `argument` when given.
using Start = std::tuple<const char*, QByteArray, QString, bool>;

} // namespace

class CoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheTailLikeTheBytewiseScan() {
        TempWorkDir dir;
        QRandomGenerator random(20261206);
        for (int round = 0; round < 300; ++round) {
            // Some windows hold no line feed at all, some fewer lines than asked for.
            const int lfPerMille = std::max(0, int(random.bounded(-20, 200)));
            QByteArray file(int(random.bounded(1, 60000)), Qt::Uninitialized);
            for (char& byte : file) {
                byte = random.bounded(1000) < lfPerMille ? '\n' : char('a' + random.bounded(26));
            }
            const int lineCount = std::array{10, 20, 30, 40, 50, 100, 200}[random.bounded(7)];
            const int bufferKiB = std::array{10, 25, 50, 75, 100, 200}[random.bounded(6)];
            const TailBytes tail =
                readTail(dir.write("gen.log", file), file.size(), lineCount, bufferKiB);
            const QByteArray expected = bytewiseTail(file, file.size(), lineCount, bufferKiB);
            QCOMPARE(tail.shown().toByteArray(), expected);
            // Cut: the tail is all of a window that begins after the file's first byte.
            const qsizetype window = bufferKiB * 1024 + 1;
            QCOMPARE(tail.cut, expected.size() == window && file.size() > window);
        }
    }

    void decodesTheTail_data() {
        rows<Decode>({
            {"empty", {}, false, detect, "", "UTF-8"},
            {"ends inside a character", "line\n\xE8\xAD", false, detect, "line\n", "UTF-8"},
            {"ends inside a Shift_JIS character", sjis("ログ\n") + '\x83', false, detect, "ログ\n",
             "Shift_JIS"},
            {"EUC-JP that reads as Shift_JIS too", euc("ログを開始します\n"), false, detect,
             "ログを開始します\n", "EUC-JP"},
            {"UTF-8 and Shift_JIS lines, each read as written",
             "a\xE2\x86\x92\n" + sjis("警告: 設定を開けません\n") + "c\n\xE2\x86\x92\n", false,
             detect, "a→\n警告: 設定を開けません\nc\n→\n", "UTF-8 + Shift_JIS"},
            // 漢 8A BF, 字 8E 9A, テ 83 65, ス 83 58: BF cannot lead, 65 cannot lead.
            {"Shift_JIS cut: the byte after one that cannot lead", sjis("漢字テスト\n").sliced(1),
             true, detect, "字テスト\n", "Shift_JIS"},
            {"Shift_JIS cut among bytes that may lead or trail", sjis("字テスト\n").sliced(1), true,
             detect, "スト\n", "Shift_JIS"},
            {"EUC-JP cut: up to a byte below 0xA1",
             euc("ログを開始 1 ファイルを開けません\n").sliced(1), true, detect,
             " 1 ファイルを開けません\n", "EUC-JP"},
            {"UTF-8 chosen for Shift_JIS bytes", sjis("ログ\n"), false, TailEncoding::Utf8,
             "\uFFFD\uFFFD\uFFFDO\n", "UTF-8"},
            {"Shift_JIS chosen: unreadable bytes stay visible", "a\x80\n", false,
             TailEncoding::ShiftJis, "a\uFFFD\n", "Shift_JIS"},
        });
    }
    void decodesTheTail() {
        const auto [tag, bytes, cut, encoding, text, name] = row<Decode>();
        const DecodedTail decoded = decodeTail(bytes, cut, encoding);
        QCOMPARE(decoded.text + u'|' + decoded.encoding, text + u'|' + name);
    }

    // A cut Shift_JIS window loses the bytes that can end a character, for as long as the byte
    // before each can begin one: how many, at each edge of the two byte ranges.
    void shiftJisCutLeavesOutThePieceOfACharacter() {
        const char* cases = "3F0 401 7E1 7F0 801 FC1 FD0 80401 81402 9F402 A0401 DF401 E0402 FC402";
        for (const QByteArray& item : QByteArray(cases).split(' ')) {
            const QByteArray bytes = QByteArray::fromHex(item.chopped(1)) + '\n';
            const auto decoded = [&](int from, bool cut) {
                return item + decodeTail(bytes.sliced(from), cut, TailEncoding::ShiftJis).text;
            };
            QCOMPARE(decoded(0, true), decoded(item.back() - '0', false));
        }
    }

    void decodesRandomBytesLikeTheSystemDecoder() {
        QRandomGenerator random(20261207);
        const QByteArray pieces[] = {"\n", "a", "\xE3\x81\x82", "\xEF\xBB\xBF", "\xF0\x9F\x98\x80"};
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes;
            for (int n = int(random.bounded(12)); n > 0; --n) {
                bytes += random.bounded(4) == 0 ? QByteArray(1, char(random.bounded(256)))
                                                : pieces[random.bounded(5)];
            }
            const int cut = int(random.bounded(int(bytes.size()) + 1));
            bytes = bytes.sliced(cut / 2, bytes.size() - cut);
            QCOMPARE(decodeSystemText(bytes), QStringDecoder(QStringDecoder::System).decode(bytes));
        }
    }

    void formatsThePanels() {
        QStringList shown;
        for (const qint64 length : {0LL, 999LL, 1000LL, 1234567LL, 5368709120LL}) {
            shown << formatFileLen(length);
        }
        QCOMPARE(shown.join(u'|'), "0 byte |999 byte |1,000 byte |1,234,567 byte |"
                                   "5,368,709,120 byte ");
        const DateTime stamp{localDate(2024, 3, 5).seconds + 14 * 3600 + 7 * 60 + 9, 999'999'999};
        QCOMPARE(formatDateTime(stamp), QStringLiteral("2024/03/05 14:07:09"));
    }

    void rendersTheTail_data() {
        rows<Render>({
            {"CRLF tail, CRLF type: empty last line", "a\r\nb\r\n", "\r\n", false, "",
             "a\r\nb\r\n\r\n"},
            {"CRLF tail, LF type: CR kept in pieces", "a\r\nb\r\n", "\n", false, "",
             "a\r\r\nb\r\r\n\r\n"},
            {"LF tail, CRLF type: one piece", "a\nb\n", "\r\n", false, "", "a\nb\n\r\n"},
            {"empty tail, extraction off", "", "\r\n", false, "", "\r\n"},
            {"empty tail, extraction on", "", "\r\n", true, "x", ""},
            {"case-sensitive substring, spaces kept", "ERR 1\nerr 2\nxERR 1\nERR1\n", "\n", true,
             "ERR 1", "ERR 1\r\nxERR 1\r\n"},
            {"separators in a row keep empty pieces", "\n\nx", "\n", false, "", "\r\n\r\nx\r\n"},
            // One line of the file is one line of the view, and nothing in it can reorder the rest.
            {"CR inside a line, LF type", "a\rb\r\nc\n", "\n", false, "",
             "a\u240Db\r\r\nc\r\n\r\n"},
            {"separators, overrides, escapes", "x\u2028y\u2029\u202Ez\u2066\u2069\x1b[1m\t.\n",
             "\n", false, "", "x<U+2028>y<U+2029><U+202E>z<U+2066><U+2069>\u241B[1m\t.\r\n\r\n"},
            {"empty separator does not hang", "a\nb", "", false, "", "a\nb\r\n"},
        });
    }
    void rendersTheTail() {
        const auto [tag, tail, separator, extract, keyword, text] = row<Render>();
        QCOMPARE(renderTail(tail, separator, extract, keyword), text);
    }

    // A quote is a legal character of a name: only a pair around the whole text quotes. The
    // options answer only when no file of their name is in the current folder.
    void commandLine() {
        for (const QString& text :
             QStringList{"\"/a b.log\">/a b.log", "\"/x>\"/x", "\"/x\"y\">/x\"y", "\">\""}) {
            QCOMPARE(::commandLinePath(text.section(u'>', 0, 0)), text.section(u'>', 1));
        }
        TempWorkDir dir;
        QVERIFY(::commandLineReply("--help").startsWith("使い方: logwarden [ファイル]\n"));
        QVERIFY(::commandLineReply("--help x").isEmpty());
        QCOMPARE(::commandLineReply("--version"), QStringLiteral("Logwarden 1.1.0\n"));
        dir.write("--version", "x\n");
        QVERIFY(::commandLineReply("--version").isEmpty());
    }

    void fileExistsOnlyForRegularFiles() {
        TempWorkDir dir;
        dir.write("app.log", "x");
        dir.write(".xsession-errors", "x");
        QVERIFY(QFile::link(dir.path("app.log"), dir.path("link")));
        QVERIFY(QFile::link(dir.path("gone"), dir.path("dangling")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.path("fifo")).constData(), 0600), 0);
        QString exists;
        for (const char* name :
             {"app.log", ".xsession-errors", "link", "missing", ".", "dangling", "fifo"}) {
            exists += frmMain::FileExists(dir.path(name)) ? '1' : '0';
        }
        QCOMPARE(exists, "1110000");
        QVERIFY(!frmMain::FileExists({}) && !frmMain::FileExists("/dev/null"));
    }

    // As the binding finds them: every item, array and submenu.
    void everyCommandIsOnTheMenuBar() {
        LoadedForm w;
        std::set<const ui::Control*> reached;
        std::function<void(ui::MenuItem*)> walk = [&](ui::MenuItem* item) {
            reached.insert(item);
            for (const ui::MenuChild& child : item->children()) {
                std::visit([&](auto* c) { reached.insert(c); }, child);
                if (auto* const* submenu = std::get_if<ui::MenuItem*>(&child)) {
                    walk(*submenu);
                }
            }
        };
        for (ui::MenuItem* menu : w.form.menuBar()) {
            walk(menu);
        }
        QCOMPARE(reached.size(), std::size_t(41));
        QCOMPARE(w.form.window.caption(), QStringLiteral("Logwarden (ver 1.1.0)"));
    }

    void commandLineOpensAnExistingFile_data() {
        rows<Start>({
            {"blanks", "with blank.log", {}, true},
            {"a name that is not UTF-8", "caf\xe9 ログ.log", {}, true},
            {"missing file", "app.log", "missing.log", false},
            {"folder", "app.log", ".", false},
            {"two quoted paths", "app.log", "\"app.log\" \"app.log\"", false},
        });
    }
    void commandLineOpensAnExistingFile() {
        const auto [tag, name, argument, opens] = row<Start>();
        TempWorkDir dir;
        const QString path = dir.writeNamed(name, numberedLines(1, 3));
        // The arguments a shell would split are joined back into the one path.
        StartedForm w(joinArguments((argument.isEmpty() ? path : argument).split(u' ')));
        const QString shown = opens ? path : QString();
        QCOMPARE((QStringList{w.form.watchState().mstrFilePath, w.form.lblFilePath.caption(),
                              w.global.gstrRecentFiles[0]}),
                 QStringList(3, shown));
        QCOMPARE(w.form.txtView.text().contains(QStringLiteral("line 3")), opens);
        QCOMPARE(w.form.mnuMonitorStart.enabled(), opens);
        QVERIFY(!w.form.timFileCheck.enabled() && w.port.messages.empty());
    }

    void refreshShowsTheTailAndPanels() {
        Window w(numberedLines(1, 30));
        const QString path = w.dir.path("app.log");
        QCOMPARE(w.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(12, 30)));
        QCOMPARE(w.form.lblFileLen.caption(), QStringLiteral("231 byte "));
        QCOMPARE(w.form.lblLastModified.caption(),
                 QFileInfo(path).lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
        QVERIFY(w.form.txtView.text().startsWith(QStringLiteral("line 12\r\nline 13")));
        // Past the years a count of nanoseconds holds, and chosen again: shown as it is now.
        setModified(path, localDate(2300, 1, 1).seconds);
        w.form.OpenWatchedFile(path);
        QCOMPARE(w.form.lblLastModified.caption(), QStringLiteral("2300/01/01 00:00:00"));
        // Emptied and dated as a fresh choice starts: chosen again, it shows empty.
        QVERIFY(QFile::resize(path, 0));
        setModified(path, localDate(1990, 1, 1).seconds);
        w.form.OpenWatchedFile(path);
        QCOMPARE(w.form.txtView.text(), QString());
        // Unchanged since: nothing is touched.
        const auto revision = w.form.txtView.textRevision();
        w.form.lblFileLen.setCaption(QStringLiteral("sentinel"));
        w.form.RefreshTail();
        QCOMPARE(w.form.txtView.textRevision(), revision);
        QCOMPARE(w.form.lblFileLen.caption(), QStringLiteral("sentinel"));
        QVERIFY(w.port.messages.empty());
    }

    void lineCountChangeRereadsButBufferSizeWaits() {
        Window w(numberedLines(1, 100));
        w.form.mnuOptionBufferSize.click(8);
        QCOMPARE(w.form.watchState().mdblBufferSize, 25.0);
        w.form.mnuOptionLineCount.click(5);
        QCOMPARE(w.form.watchState().mlngLineCount, 50);
        QCOMPARE(w.form.watchState().mdblBufferSize, 200.0);
        QCOMPARE(w.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(52, 100)));
    }

    void emptiedFileClearsViewAndRememberedTail() {
        Window w;
        w.port.active = false;
        w.dir.write("app.log", {});
        w.form.mnuOptionLineCount.click(1); // forces the re-read
        QCOMPARE(w.form.txtView.text() + w.form.lblFileLen.caption(), QStringLiteral("0 byte "));
        QCOMPARE(w.form.watchState().mintFlashState, short(0));
        // A re-render must not bring the vanished lines back.
        w.form.mnuOptionNewLineType.click(2);
        w.form.mnuOptionEncodingType.click(1);
        QVERIFY(!w.form.txtView.text().contains(QStringLiteral("ok")));
    }

    void encodingMenuShowsTheLastReadAgain() {
        const char* text = "ログを開始します\n警告: 設定ファイルを開けません\n";
        const QString shown =
            QString::fromUtf8(text).replace(u'\n', QStringLiteral("\r\n")) + "\r\n";
        Window w(euc(text));
        w.form.mnuMonitorStart.click();
        QCOMPARE(w.form.txtView.text(), shown);
        const QString size = w.form.lblFileLen.caption() + "\n文字コード: ";
        QCOMPARE(w.form.lblFileLen.toolTip(), size + "EUC-JP（自動判定）");
        w.dir.write("app.log", "not read\n");
        w.form.mnuOptionEncodingType.click(2);
        QCOMPARE(w.form.mnuOptionEncodingType.firstChecked(), 2);
        QCOMPARE(
            w.form.txtView.text(),
            renderTail(decodeTail(euc(text), false, TailEncoding::ShiftJis).text, "\n", false, {}));
        QCOMPARE(w.form.lblFileLen.toolTip(), size + "Shift_JIS（指定）");
        w.form.mnuOptionEncodingType.click(0);
        QCOMPARE(w.form.txtView.text(), shown);
        QVERIFY(w.form.timFileCheck.enabled());
    }

    void extractionFiltersAndShowsThePanel_data() {
        rows<Texts>({
            {"LF log", "\n", "\r\n"},
            {"CR LF log", "\r\n", "\r\r\n"}, // a CR before the CR LF is drawn as nothing
        });
    }
    void extractionFiltersAndShowsThePanel() {
        const auto [tag, lineEnd, shown] = row<Texts>();
        Window w(QString("ok 1\nERR 2\nok 3\nERR 4\n").replace("\n", lineEnd).toUtf8());
        w.port.inputAnswers = {QStringLiteral("ERR"), QStringLiteral("ok"), {}};
        w.form.mnuEditFind.click();
        const FakePort::Input& asked = w.port.inputs.back();
        QCOMPARE(asked.prompt + asked.title,
                 QStringLiteral("行を抽出するキーワードを入力してください。抽出キーワード入力"));
        QCOMPARE(w.form.txtView.text(), "ERR 2" + shown + "ERR 4" + shown);
        QCOMPARE(w.form.lblSerchWord.caption(), QStringLiteral("ERR"));
        QVERIFY(w.global.gblnViewSearchWord && w.form.mnuViewSearchWord.checked());
        // Answered again while the panel is shown: it stays shown.
        w.form.mnuEditFind.click();
        QVERIFY(w.form.fraSerchWord.visible());
        QCOMPARE(w.form.txtView.text(), "ok 1" + shown + "ok 3" + shown);
        // Cancelled: all lines again, the panel stays, and the keyword is offered next time.
        w.form.mnuEditFind.click();
        QVERIFY(!w.global.gblnExtractMode && w.form.fraSerchWord.visible());
        QCOMPARE(w.form.lblSerchWord.caption(), QString());
        QVERIFY(w.form.txtView.text().startsWith("ok 1" + shown + "ERR 2" + shown));
        w.form.mnuEditFind.click();
        QCOMPARE(w.port.inputs.back().defaultAnswer, QStringLiteral("ok"));
        w.form.mnuEditCopy.click();
        QCOMPARE(w.port.clipboard, w.form.txtView.text());
    }

    // Index chosen, then the type stored and the line end that splits the tail.
    void newLineTypeFallsBackToThePlatformsOwn() {
        Window w;
        for (const auto& [index, stored, separator] :
             std::initializer_list<std::tuple<int, int, QString>>{
                 {1, 1, "\r\n"}, {2, 2, "\n"}, {0, 2, "\n"}, {3, 2, "\n"}}) {
            w.form.mnuOptionNewLineType_Click(index);
            QCOMPARE(w.global.gstrReturnCode, separator);
            QCOMPARE((QList{int(w.global.gintTypeReturnCode),
                            *w.form.mnuOptionNewLineType.firstChecked()}),
                     QList<int>(2, stored));
            QCOMPARE(w.form.mnuOptionNewLineType[2].checked(), stored == 2);
        }
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
