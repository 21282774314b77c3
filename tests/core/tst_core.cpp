// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "Rows.h"
#include "core/CommandLine.h"
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/TailRender.h"
#include "files/OpenSaveDialog.h"
#include "files/RecentFiles.h"
#include "ui/ViewLines.h"
#include "view/Layout.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <fcntl.h>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>

// A name, a text and what becomes of it; steps and the facts ("name=value; name=value").
using Texts = std::tuple<const char*, QString, QString>;

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

// Each character a line.
QList<QStringView> lines(const QString& text) {
    QList<QStringView> result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        result << QStringView(text).sliced(i, 1);
    }
    return result;
}

const QString acute(1, QChar(0x0301));
const QString musical = QString::fromUtf8("\U0001D167"); // a combining mark beyond 16 bits

// A line is a character; `found` is -1 for none.
using Find = std::tuple<const char*, QString, QString, int, int, int>;

// The window on the scripted desktop in a folder of its own (app.log of thirty numbered lines,
// and new.log), driven by a line of steps and read back as named facts, so that a
// scenario is one row: "open start away append poll" gives "flashing=yes; icons=".
struct Scenario : LoadedForm {
    int lines = 30, rotations = 0;
    QString icons; // every change of the window's icon, in order

    Scenario() {
        dir.write("app.log", numberedLines(1, 30));
        dir.write("new.log", "new\n");
        form.window.observe([this] {
            const QString icon = QString::number(form.window.icon());
            if (!icons.endsWith(icon) && (!icons.isEmpty() || icon != u'0')) {
                icons += icon;
            }
        });
    }

    QString name(const QString& path) const { return QDir(dir.path({})).relativeFilePath(path); }
    static QString yes(bool on) { return on ? "yes" : "no"; }
    // A tick happens only while its timer runs.
    void tick(const ui::Timer& timer, void (frmMain::*handler)()) {
        timer.enabled() ? (form.*handler)() : void();
    }

    // "stop" is the handler, which the open command calls too, whether or not the menu item is
    // enabled; "menu-stop" is the menu item. A question is answered Yes unless "no" came first;
    // "fileopen:name" chooses that file in the dialog, "fileopen" cancels it; "recent:name" opens
    // the name as the second entry of the recent list.
    void run(const QString& steps) {
        QString arg;
        std::map<QString, std::function<void()>> act;
        act.emplace("open",
                    [&] { form.OpenWatchedFile(dir.path(arg.isEmpty() ? "app.log" : arg)); });
        act.emplace("start", [&] { form.mnuMonitorStart.click(); });
        act.emplace("stop", [&] { form.mnuMonitorStop_Click(); });
        act.emplace("menu-stop", [&] { form.mnuMonitorStop.click(); });
        act.emplace("poll", [&] { tick(form.timFileCheck, &frmMain::timFileCheck_Timer); });
        act.emplace("flash", [&] { tick(form.timFlash, &frmMain::timFlash_Timer); });
        act.emplace("notify", [&] { tick(form.timNotify, &frmMain::timNotify_Timer); });
        act.emplace("change", [&] { form.fileWatch_Changed(); });
        act.emplace("append",
                    [&] { dir.append("app.log", "line " + QByteArray::number(++lines) + '\n'); });
        act.emplace("away", [&] { port.active = false; });
        act.emplace("back", [&] { port.active = true; });
        act.emplace("rotate", [&] {
            QVERIFY(QFile::rename(dir.path("app.log"), dir.path(QString::number(++rotations))));
        });
        act.emplace("create", [&] { dir.write("app.log", "after rotation\n"); });
        act.emplace("no", [&] { port.msgAnswers.push_back(PlatformPort::MsgAnswer::No); });
        act.emplace("fileopen", [&] {
            port.dialogAnswers.push_back(QStringList(!arg.isEmpty(), dir.path(arg)));
            form.mnuFileOpen.click();
        });
        act.emplace("recent", [&] {
            global.gstrRecentFiles[1] = dir.path(arg);
            form.BuildRecentMenu();
            form.mnuRecentList.click(2);
        });
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            arg = step.section(u':', 1);
            act.at(step.section(u':', 0, 0))();
        }
    }

    // The caption with the program's own name as "app"; the last message as its icon, buttons
    // and prompt, with its title when it is not the caption.
    QString fact(const QString& what) const {
        const QString app = frmMain::GetAppCaption();
        QStringList watched, recent, said;
        for (const QString& watchedPath : form.fileWatch.paths()) {
            watched << name(watchedPath);
        }
        for (const QString& slot : global.gstrRecentFiles) {
            recent << (slot.isEmpty() ? slot : name(slot));
        }
        for (const FakePort::Message& m : port.messages) {
            said = QStringList{std::array{"Critical", "Question", "Information"}[int(m.icon)],
                               m.buttons == PlatformPort::MsgButtons::Ok ? "Ok" : "YesNo",
                               m.prompt + (m.title == app ? "" : " [" + m.title + ']')};
        }
        const std::map<QString, QString> facts{
            {"polling", yes(form.timFileCheck.enabled())},
            {"caption", QString(form.window.caption()).replace(app, "app")},
            {"start", yes(form.mnuMonitorStart.enabled())},
            {"stop", yes(form.mnuMonitorStop.enabled())},
            {"flashing", yes(form.timFlash.enabled())},
            {"icons", icons},
            {"asked", QString::number(port.attentionCount)},
            {"told", QString::number(port.messages.size())},
            {"said", said.join(u' ')},
            {"file", name(form.watchState().mstrFilePath)},
            {"last", form.txtView.text().trimmed().section(u'\n', -1).trimmed()},
            {"dialogs", QString::number(port.dialogs.size())},
            {"recent", recent.join(u',').remove(QRegularExpression(",+$"))},
            {"watched", watched.join(u' ')},
            {"notify",
             form.timNotify.enabled() ? QString::number(form.timNotify.interval()) : "off"},
        };
        return facts.at(what);
    }
};

// The panels shown, by letter (p file path, t time stamp, s file size, k keyword); the client
// size; the tops of the path, time-stamp, size and keyword panels (a hidden one keeps its design
// top), the size panel's left, the text view's top, the widths of the path and keyword panels
// and of their value labels and the text view's height.
using Stack = std::tuple<const char*, QString, ui::Size, QString>;
using Slots = std::array<QString, AppSettings::RecentCount>;
using Dialog = PlatformPort::FileDialog;

Slots slotsOf(const QString& list) {
    Slots result;
    const QStringList entries = list.split(u',');
    std::copy(entries.begin(), entries.end(), result.begin());
    return result;
}

const QString aToJ = "a,b,c,d,e,f,g,h,i,j";

} // namespace

class CoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodesTheTail_data() {
        rows<Decode>({
            {"ends inside a character", "line\n\xE8\xAD", false, detect, "line\n", "UTF-8"},
            {"ends inside a Shift_JIS character", sjis("ログ\n") + '\x83', false, detect, "ログ\n",
             "Shift_JIS"},
            {"UTF-8 and Shift_JIS lines, each read as written",
             "a\xE2\x86\x92\n" + sjis("警告: 設定を開けません\n") + "c\n\xE2\x86\x92\n", false,
             detect, "a→\n警告: 設定を開けません\nc\n→\n", "UTF-8 + Shift_JIS"},
            // 漢 8A BF, 字 8E 9A, テ 83 65, ス 83 58: BF cannot lead, 65 cannot lead.
            {"Shift_JIS cut: the byte after one that cannot lead", sjis("漢字テスト\n").sliced(1),
             true, detect, "字テスト\n", "Shift_JIS"},
            {"EUC-JP that reads as Shift_JIS too", euc("ログを開始します\n"), false, detect,
             "ログを開始します\n", "EUC-JP"},
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

    // Whole lines take a faster road; a mark at the start, a cut character, bytes that are no
    // text must not tell the two apart.
    void decodesSettingsLinesLikeTheSystemDecoder() {
        for (const QByteArray& bytes :
             {"\xEF\xBB\xBF-\n"_qba, "\xEF\xBB\xBF"_qba, "a\xE3\x81"_qba, "a\xE3\x81\n"_qba,
              "\xff\xE3\x81\x82\n"_qba, "\xF0\x9F\x98"_qba}) {
            QCOMPARE(decodeSystemText(bytes), QStringDecoder(QStringDecoder::System).decode(bytes));
        }
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
            // The file's own characters, for Copy: the view makes each line visible.
            {"CR inside a line, LF type", "a\rb\r\nc\n", "\n", false, "", "a\rb\r\r\nc\r\n\r\n"},
            {"separators, overrides, escapes", "x\u2028\u202Ez\x1b[1m\t.\n", "\n", false, "",
             "x\u2028\u202Ez\x1b[1m\t.\r\n\r\n"},
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
        std::set<const void*> reached;
        std::function<void(const ui::MenuChild&)> walk = [&](const ui::MenuChild& child) {
            std::visit([&](auto* c) { reached.insert(c); }, child);
            if (auto* const* submenu = std::get_if<ui::MenuItem*>(&child)) {
                for (const ui::MenuChild& each : (*submenu)->children()) {
                    walk(each);
                }
            }
        };
        for (ui::MenuItem* menu : w.form.menuBar()) {
            walk(menu);
        }
        QCOMPARE(reached.size(), std::size_t(41));
    }

    // The arguments a shell would split are joined back into the one path; a path that names no
    // file opens nothing, silently.
    void commandLineOpensAnExistingFile() {
        for (const bool opens : {true, false}) {
            TempWorkDir dir;
            const QString path = dir.writeNamed("caf\xe9 ログ.log", numberedLines(1, 3));
            StartedForm w(joinArguments((opens ? path : path + 'x').split(u' ')));
            const QString shown = opens ? path : QString();
            QCOMPARE((QStringList{w.form.watchState().mstrFilePath, w.form.lblFilePath.caption(),
                                  w.global.gstrRecentFiles[0]}),
                     QStringList(3, shown));
            QCOMPARE(w.form.txtView.text().contains(QStringLiteral("line 3")), opens);
            QCOMPARE(w.form.mnuMonitorStart.enabled(), opens);
            QVERIFY(!w.form.timFileCheck.enabled() && w.port.messages.empty());
        }
    }

    void refreshShowsTheTailAndPanels() {
        QCOMPARE(formatFileLen(999) + formatFileLen(1000) + formatFileLen(5368709120),
                 "999 byte 1,000 byte 5,368,709,120 byte ");
        const DateTime stamp{localDate(2024, 3, 5).seconds + 14 * 3600 + 7 * 60 + 9, 999'999'999};
        QCOMPARE(formatDateTime(stamp), QStringLiteral("2024/03/05 14:07:09"));
        Window w(numberedLines(1, 30));
        const QString path = w.dir.path("app.log");
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

    void optionMenus() {
        Window w(numberedLines(1, 100));
        w.form.mnuOptionBufferSize.click(8);
        QCOMPARE(w.form.watchState().mdblBufferSize, 25.0);
        w.form.mnuOptionLineCount.click(5);
        QCOMPARE(w.form.watchState().mlngLineCount, 50);
        QCOMPARE(w.form.watchState().mdblBufferSize, 200.0);
        QCOMPARE(w.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(52, 100)));
        // A line end no item names falls back to the platform's own.
        for (const auto& [index, stored] : {std::pair{1, 1}, {2, 2}, {0, 2}, {3, 2}}) {
            w.form.mnuOptionNewLineType_Click(index);
            QCOMPARE(w.global.gstrReturnCode, stored == 1 ? "\r\n" : "\n");
            const ui::MenuArray& menu = w.form.mnuOptionNewLineType;
            QCOMPARE((QList{int(w.global.gintTypeReturnCode), *menu.firstChecked(),
                            menu[2].checked() ? 2 : 1}),
                     QList<int>(3, stored));
        }
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
        // Each item forces its decoding; the first detects again.
        for (const auto& [index, name] : {std::pair{2, "Shift_JIS（指定）"},
                                          {1, "UTF-8（指定）"},
                                          {3, "EUC-JP（指定）"},
                                          {0, "EUC-JP（自動判定）"}}) {
            w.form.mnuOptionEncodingType.click(index);
            QCOMPARE(w.form.mnuOptionEncodingType.firstChecked(), index);
            const auto encoding = TailEncoding(index);
            QCOMPARE(w.form.txtView.text(),
                     renderTail(decodeTail(euc(text), false, encoding).text, "\n", false, {}));
            QCOMPARE(w.form.lblFileLen.toolTip(), size + name);
        }
        QCOMPARE(w.form.txtView.text(), shown);
        QVERIFY(w.form.timFileCheck.enabled());
        // Emptied while in the background: nothing flashes, and a re-render must not bring the
        // vanished lines back.
        w.port.active = false;
        w.dir.write("app.log", {});
        w.form.mnuOptionLineCount.click(1); // forces the re-read
        QCOMPARE(w.form.txtView.text() + w.form.lblFileLen.caption(), QStringLiteral("0 byte "));
        QCOMPARE(w.form.watchState().mintFlashState, short(0));
        w.form.mnuOptionNewLineType.click(1);
        w.form.mnuOptionEncodingType.click(2);
        QCOMPARE(w.form.txtView.text().trimmed(), QString());
    }

    void extractionFiltersAndShowsThePanel() {
        Window w;
        w.port.inputAnswers = {QStringLiteral("ERR"), QStringLiteral("ok"), {}};
        w.form.mnuEditFind.click();
        QCOMPARE(w.form.txtView.text(), QStringLiteral("ERR 2\r\nERR 4\r\n"));
        QCOMPARE(w.form.lblSerchWord.caption(), QStringLiteral("ERR"));
        QVERIFY(w.global.gblnViewSearchWord && w.form.mnuViewSearchWord.checked());
        // Answered again while the panel is shown: it stays shown.
        w.form.mnuEditFind.click();
        QVERIFY(w.form.fraSerchWord.visible());
        QCOMPARE(w.form.txtView.text(), QStringLiteral("ok 1\r\nok 3\r\n"));
        // Cancelled: all lines again, the panel stays, and the keyword is offered next time.
        w.form.mnuEditFind.click();
        QVERIFY(!w.global.gblnExtractMode && w.form.fraSerchWord.visible());
        QCOMPARE(w.form.lblSerchWord.caption(), QString());
        QVERIFY(w.form.txtView.text().startsWith(QStringLiteral("ok 1\r\nERR 2\r\n")));
        w.form.mnuEditFind.click();
        QCOMPARE(w.port.inputs.back().defaultAnswer, QStringLiteral("ok"));
    }

    // The lines, each followed by '|'.
    // The lines of a text as the view shows them, each followed by '|'.
    void shownLines_data() {
        rows<Texts>({
            {"the empty piece after the file's last line end", "a\r\nb\r\n\r\n", "a|b|"},
            {"a CR LF log read as LF is single-spaced", "a\r\r\nb\r\r\n\r\n", "a|b|"},
            {"a blank last line of the file stays", "a\r\n\r\n\r\n", "a||"},
            {"a CR inside a line shows as its symbol", "a\rb\r\n", "a\u240Db|"},
            {"two CRs before the end: one shows", "a\r\r\r\n", "a\u240D|"},
            {"an LF inside a line ends it", "a\nb\r\n", "a|b|"},
            {"no text, no lines", "", ""},
            {"a line not ended yet", "a\r\nb", "a|b|"},
            // Nothing in a line can break it in two or reorder what follows.
            {"separators, overrides, escapes",
             QString::fromUtf16(u"x\u2028y\u2029\u202Ez\u2066\u2069\x1b[1m\t.\0\x7f\uFDD0", 17),
             "x<U+2028>y<U+2029><U+202E>z<U+2066><U+2069>\u241B[1m\u2409.\u2400\u2421\uFFFD|"},
            {"100,000 marks on one character", "a" + acute.repeated(100000) + "b",
             "a" + acute.repeated(30) + "…（99970 文字省略）b|"},
            {"marks beyond 16 bits", "a" + musical.repeated(40),
             "a" + musical.repeated(30) + "…（10 文字省略）|"},
            {"a 200 KB line", QString(200000, u'x'), QString(3000, u'x') + "…（197000 文字省略）|"},
            {"a cut keeps a character whole", QString(2999, u'x') + "😀😀",
             QString(2999, u'x') + "😀…（1 文字省略）|"},
        });
    }
    void shownLines() {
        const auto [tag, text, lines] = row<Texts>();
        QString shown;
        for (const QStringView line : ui::splitLines(text)) {
            shown += ui::displayLine(line) + u'|';
        }
        QCOMPARE(shown, lines);
    }

    // Every pair of texts of up to six lines, each one of two lines: alike lines are where the
    // border table of the search matters.
    void lineChangeKeepsTheLongestOverlap() {
        for (int a = 1; a < 128; ++a) {
            for (int b = 1; b < 128; ++b) {
                const QString shown = QString::number(a, 2).sliced(1);
                const QString next = QString::number(b, 2).sliced(1);
                const auto overlap = [&](QStringView start) {
                    qsizetype kept = std::min(shown.size(), start.size());
                    while (!shown.endsWith(start.first(kept))) {
                        --kept;
                    }
                    return kept;
                };
                // Without an overlap, one after a new first line (a window cut inside a line).
                const qsizetype fresh = overlap(next) == 0 && next.size() > 1 &&
                                        overlap(QStringView(next).sliced(1)) > 0;
                const qsizetype kept = overlap(QStringView(next).sliced(fresh));
                QCOMPARE(ui::lineChange(lines(shown), lines(next)),
                         (ui::LineChange{shown.size() - kept, kept, fresh}));
            }
        }
    }

    void findLines_data() {
        rows<Find>({
            {"left at the top", "abc", "cd", 0, 1, -1},
            {"the same occurrence of alike lines", "eaebe", "eee", 2, 1, 1},
            {"the first line kept, alike to one that left", "aab", "aba", 1, 1, 0},
            {"lines no longer together", "abcd", "bxc", 1, 2, -1},
            {"after a first line cut anew", "abcd", "xcde", 2, 2, 1},
            {"past the last line", "ab", "ab", 1, 2, -1},
            {"before the first line", "ab", "ab", -1, 1, -1},
            {"no lines asked for", "ab", "ab", 0, 0, -1},
        });
    }
    void findLines() {
        const auto [tag, shown, next, first, count, found] = row<Find>();
        const auto change = ui::lineChange(lines(shown), lines(next));
        // One line is what the view asks for most.
        const auto at = count == 1 ? ui::findLines(lines(shown), lines(next), change, first)
                                   : ui::findLines(lines(shown), lines(next), change, first, count);
        QCOMPARE(at.value_or(-1), qsizetype(found));
    }

    void stackCollapsesOverHiddenPanels_data() {
        const ui::Size design{5925, 3750}, narrow{1500, 2000}, tiny{5, 600};
        rows<Stack>({
            {"all", "ptsk", design, "-80 325 325 3595 730 1225 5915 5915 4315 4215 2525"},
            {"no keyword", "pts", design, "-80 325 325 3595 0 810 5915 3345 4315 1645 2940"},
            {"size without the time stamp", "ps", design,
             "-80 390 325 0 0 810 5915 3345 4315 1645 2940"},
            {"time stamp without the size", "t", design,
             "4920 -80 390 4200 0 405 7545 3345 5945 1645 3345"},
            {"keyword only", "k", design, "4920 390 390 4200 -80 415 7545 5915 5945 4215 3335"},
            {"none", "", design, "4920 390 390 4200 0 0 7545 3345 5945 1645 3750"},
            {"labels would be negative", "ptsk", narrow,
             "-80 325 325 3595 730 1225 1490 1490 0 0 775"},
            {"text would be negative", "ptsk", tiny, "-80 325 325 3595 730 1225 0 0 0 0 0"},
        });
    }
    void stackCollapsesOverHiddenPanels() {
        const auto [tag, shown, client, places] = row<Stack>();
        const PanelGeometry design{{600, 4920, 7545, 435},
                                   {60, 390, 3555, 435},
                                   {4200, 390, 3345, 435},
                                   {0, 0, 3345, 435},
                                   {240, 1320, 6855, 3135},
                                   5790,
                                   1665};
        const auto on = [&](char16_t letter) {
            return shown.contains(letter);
        };
        const PanelGeometry g = layoutPanels({on(u'p'), on(u't'), on(u's'), on(u'k'), true}, client,
                                             design, 1500, 1600);
        QStringList numbers;
        for (const double n : {g.filePath.top, g.timeStamp.top, g.fileSize.top, g.fileSize.left,
                               g.searchWord.top, g.text.top, g.filePath.width, g.searchWord.width,
                               g.filePathLabelWidth, g.searchWordLabelWidth, g.text.height}) {
            numbers << QString::number(n);
        }
        QCOMPARE(numbers.join(u' '), places);
        QCOMPARE((QList{g.text.left, g.text.width}), (QList{0.0, client.width}));
    }

    void viewSwitchesAndLayoutPass() {
        Scenario f;
        frmMain& form = f.form;
        const std::tuple<ui::MenuItem&, bool&, ui::Placed&> switches[] = {
            {form.mnuViewFilepath, f.global.gblnViewFilepath, form.fraFilePath},
            {form.mnuViewTimestamp, f.global.gblnViewTimestamp, form.fraLastModified},
            {form.mnuViewFilesize, f.global.gblnViewFilesize, form.fraFileLen},
            {form.mnuViewSearchWord, f.global.gblnViewSearchWord, form.fraSerchWord},
            {form.mnuViewText, f.global.gblnViewText, form.txtView}};
        for (const auto& [item, setting, control] : switches) {
            for (const bool shown : {!setting, setting}) {
                // A size the form has not laid out yet: the switch must run the layout pass.
                form.window.reportGeometry(ui::WindowState::Normal, {9000, 7000},
                                           {8880, 6205.0 + shown});
                item.click();
                QCOMPARE((QList{item.checked(), setting, control.visible()}),
                         QList<bool>(3, shown));
                QCOMPARE(form.txtView.rect().top + form.txtView.rect().height, 6205.0 + shown);
            }
        }
        // A minimised window keeps its layout and its size.
        const auto resize = [&](ui::WindowState state, ui::Size outer, ui::Size client) {
            form.window.reportGeometry(state, outer, client);
            form.Form_Resize();
        };
        const ui::Rect before = form.txtView.rect();
        f.global.gblnViewFilepath = false;
        resize(ui::WindowState::Minimized, {2000, 500}, {0, 0});
        QCOMPARE(f.global.gintModeWindowState, short(1));
        QVERIFY(form.txtView.rect() == before && form.fraFilePath.visible());
        QCOMPARE(form.window.outerSize(), (ui::Size{2000, 500}));
        resize(ui::WindowState::Maximized, {19000, 12000}, {18880, 11205});
        QCOMPARE(f.global.gintModeWindowState, short(2));
        QVERIFY(!form.fraFilePath.visible() && form.txtView.rect().top == 405.0);
    }

    void scenario_data() {
        const QString on = "polling=yes; caption=app - 監視中; start=no; stop=yes";
        const QString off = "polling=no; caption=app; start=yes; stop=no";
        const QString watching = "open start append"; // one more line than it showed
        const QString unmoved = "told=0; file=app.log; last=line 30; polling=yes";
        const QString asked = "said=Question YesNo モニタリング中です、解除しますか？";
        const QString missing = "told=1; said=Information Ok ファイルが存在しません; file=app.log";
        rows<Texts>({
            {"initial", "", "polling=no; caption=app; start=no; stop=no"},
            {"file chosen", "open", off},
            {"on", "open start poll", on},
            {"stopped", "open start stop", off},
            {"file chosen while on", "open start open", off},
            // The open command stops monitoring before its dialog, also when it is cancelled.
            {"no file, on", "stop start", on},
            {"stopped by the poll", "stop start poll",
             "polling=no; caption=app; start=no; stop=yes"},
            // A read while another window is active arms the notice: the icon changes at the
            // next tick, and the desktop is asked once.
            {"flashes until back, also once stopped",
             "open start away append poll flash flash flash stop flash back flash",
             "flashing=no; icons=21210; asked=1"},
            {"back before a tick: ends unseen", "away open back flash",
             "flashing=no; icons=; asked=1"},
            {"a new read restarts the phase", "open start away append poll flash append poll flash",
             "flashing=yes; icons=2; asked=2"},
            // A log being rotated is missing for a moment; one that stays gone is reported at
            // the fifth tick after it went, and monitoring ends. Each absence gets the full time.
            {"rotated", "open start rotate change poll create poll poll poll poll",
             on + "; told=0; last=after rotation"},
            {"gone for four ticks", "open start rotate change poll poll poll poll",
             on + "; told=0"},
            {"gone again after it came back",
             "open start rotate change poll create poll rotate poll poll poll poll poll",
             on + "; told=0"},
            // News is checked at once, and the file's writes are then left unreported until the
            // interval ends with a check of its own: a storm costs one check an interval.
            {"not monitoring: nothing checked", "open append change", "notify=off; last=line 30"},
            {"starting reads what changed meanwhile", "open append start",
             "last=line 31; watched=app.log ."},
            {"news is checked at once", "open start append change",
             "last=line 31; notify=30; watched=."},
            {"a storm waits for the interval", "open start append change append change append",
             "last=line 31"},
            {"the interval ends with a check", "open start append change append append notify",
             "last=line 33; notify=60; watched=."},
            {"checks space out while news comes",
             "open start append change append notify append notify append notify append notify",
             "notify=240; watched=."},
            {"a quiet interval ends the folding", "open start append change notify notify",
             "notify=off; watched=app.log ."},
            {"stopped from the menu: nothing watched", "open start append change menu-stop",
             "notify=off; watched="},
            {"after a quiet interval, news is checked at once again",
             "open start append change append notify notify append change", "notify=30"},
            // The open command asks while monitoring, and stops it unless told not to.
            {"idle, chosen", "open fileopen:new.log",
             "told=0; dialogs=1; file=new.log; last=new; polling=no"},
            {"monitoring, Yes, chosen", "open start fileopen:new.log",
             asked + "; dialogs=1; file=new.log; polling=no; caption=app; stop=no"},
            {"monitoring, Yes, cancelled", "open start fileopen",
             asked + "; dialogs=1; file=app.log; polling=no; caption=app; stop=no"},
            {"monitoring, No", "open start no fileopen:new.log",
             asked + "; dialogs=0; file=app.log; polling=yes; stop=yes"},
            {"no file, cancelled", "fileopen", "dialogs=1; start=yes"},
            // Whatever keeps a recent entry from opening, the user hears that it is not there.
            {"recent: another file", watching + " recent:new.log",
             "told=0; file=new.log; last=new; polling=no; recent=new.log,app.log"},
            {"recent: the watched file", watching + " recent:app.log", unmoved},
            {"recent: deleted file", watching + " recent:gone.log",
             missing + "; polling=yes; recent=app.log,gone.log"},
            {"recent: below a file", watching + " recent:app.log/x.log", missing},
        });
    }
    void scenario() {
        const auto [tag, steps, facts] = row<Texts>();
        Scenario s;
        s.run(steps);
        for (const QString& item : facts.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            const QString what = item.section(u'=', 0, 0);
            QCOMPARE(what + u'=' + s.fact(what), item);
        }
        QVERIFY(!s.form.watchState().mblnReading);
    }

    // The list before '>', the path opened after it.
    void addRecentOrder() {
        for (const QString& change :
             QStringList{aToJ + ">d>d,a,b,c,e,f,g,h,i,j", aToJ + ">k>k,a,b,c,d,e,f,g,h,i",
                         aToJ + ">a>" + aToJ, aToJ + ">A>A,a,b,c,d,e,f,g,h,i",
                         ",b,,d>x>x,,b,,d,,,,,", ",b,,d,e>d>d,,b,,e,,,,,",
                         aToJ + ">/tmp/x\ny>" + aToJ, aToJ + ">/tmp/x\ry>" + aToJ}) {
            Slots list = slotsOf(change.section(u'>', 0, 0));
            addRecent(list, change.section(u'>', 1, 1));
            QCOMPARE(QStringList(list.begin(), list.end()).join(u','), change.section(u'>', 2));
        }
    }

    // The list; the captions of the items that show, the "none" item first when it shows. A tab
    // would open the shortcut column; an override would reorder the caption.
    void menuFollowsTheList_data() {
        rows<Texts>({
            {"empty", "", "(none)"},
            {"slot 1 empty, slot 3 filled", ",,/var/log/c", "(none)|&3. /var/log/c"},
            {"tab, ampersand and override", "/tmp/a&b\tc\u202Egol.exe",
             "&1. /tmp/a&b\u2409c<U+202E>gol.exe"},
            {"full", aToJ, "&1. a|&2. b|&3. c|&4. d|&5. e|&6. f|&7. g|&8. h|&9. i|&10. j"},
        });
    }
    void menuFollowsTheList() {
        const auto [tag, list, captions] = row<Texts>();
        LoadedForm s;
        s.global.gstrRecentFiles = slotsOf(aToJ); // a rebuild must also hide what went away
        s.form.BuildRecentMenu();
        s.global.gstrRecentFiles = slotsOf(list);
        s.form.BuildRecentMenu();
        const ui::MenuArray& menu = s.form.mnuRecentList;
        QStringList shown;
        for (std::size_t i = 0; i < menu.size(); ++i) {
            QCOMPARE(menu[i].enabled(), i > 0);
            shown << (menu[i].visible() ? i == 0 ? "(none)" : menu[i].caption() : QString());
        }
        QCOMPARE(shown.filter(QRegularExpression(".")).join(u'|'), captions);
    }

    // The open command's record; then each show method on a new instance, where nothing but the
    // fixed members is set, and the options of one instance, which persist.
    void dialogRecords() {
        LoadedForm s;
        s.form.mnuFileOpen.click();
        const auto& [function, record] = s.port.dialogs.at(0);
        QVERIFY(function == Dialog::Open && record.hwndOwner == s.port.handle);
        QCOMPARE(record.Flags, 0x81805u);
        QCOMPARE(record.lpstrFilter, QByteArrayLiteral("すべてのファイル (*.*)\0*.*;\0\0"));
        QCOMPARE(record.lpstrInitialDir, QFile::encodeName(QDir::currentPath()));
        QCOMPARE(QString::fromUtf8(record.lpstrTitle + record.lpstrDefExt), "ファイルを開く");
        FakePort port;
        QStringList shown;
        for (auto show : {&clsOpenSaveDialog::ShowOpen, &clsOpenSaveDialog::ShowPreviewOpen,
                          &clsOpenSaveDialog::ShowSave, &clsOpenSaveDialog::ShowPreviewSave}) {
            (clsOpenSaveDialog(port).*show)(0x77);
            const auto& [function, r] = port.dialogs.back();
            shown << QString::number(int(function)) + QString::fromLocal8Bit(r.lpstrTitle);
            QVERIFY(r.hwndOwner == 0x77 && r.Flags == 0 && r.nMaxFile + r.nMaxFileTitle == 512);
            QCOMPARE(r.lpstrFile + r.lpstrFileTitle, QByteArray(512, '\0'));
            QVERIFY(r.lpstrFilter.isNull() && r.lpstrInitialDir.isNull() && r.lpstrDefExt.isNull());
        }
        QCOMPARE(shown.join(u' '),
                 "0ファイルを開く 1ファイルを開く 2ファイルを保存する 3ファイルを保存する");
        port.dialogs.clear();
        clsOpenSaveDialog dialog(port);
        dialog.Filter(QStringLiteral("ログ") + QChar(u'\0') + QStringLiteral("*.log"));
        dialog.InitDir(QStringLiteral("/no/such/folder")); // passed on unchecked
        dialog.DefaultExt(QStringLiteral("log"));
        for (void (clsOpenSaveDialog::*option)(bool) :
             {&clsOpenSaveDialog::AllowMultiSelect, &clsOpenSaveDialog::CreatePrompt,
              &clsOpenSaveDialog::NoChangeDir, &clsOpenSaveDialog::NoValiDate,
              &clsOpenSaveDialog::OverWritePrompt, &clsOpenSaveDialog::ShowHelp,
              &clsOpenSaveDialog::NoReadOnlyReturn, &clsOpenSaveDialog::Explorer}) {
            (dialog.*option)(true);
        }
        dialog.Explorer(false);
        dialog.ShowSave(1);
        dialog.InitDir({});
        dialog.ShowSave(1);
        const files::OpenFileName& first = port.dialogs[0].record;
        QCOMPARE(first.Flags, 0xA31Au);
        QCOMPARE(first.lpstrFilter, QByteArrayLiteral("ログ\0*.log\0\0"));
        QCOMPARE(first.lpstrInitialDir + first.lpstrDefExt, QByteArray("/no/such/folderlog"));
        QVERIFY(port.dialogs[1].record.lpstrInitialDir.isNull());
        QCOMPARE(port.dialogs[1].record.lpstrFilter, first.lpstrFilter);
    }

    // A choice that does not fit the 256-byte buffer is not taken, nor does an earlier one
    // survive: 6 + 252 = 258 bytes in UTF-8, though only 90 characters. Unless told not to, a
    // choice makes its folder the current one. Several files are listed after their folder, and
    // FilePath reads the first string.
    void dialogChoices() {
        TempWorkDir dir;
        QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("logs")));
        const QStringList both{dir.path("logs/ログ 1.log"), dir.path("logs/b.log")};
        const QString longest = "/logs/" + QString(249, u'a');
        FakePort port;
        clsOpenSaveDialog dialog(port);
        for (const auto& [chosen, noChangeDir, taken, current] :
             std::initializer_list<std::tuple<QStringList, bool, QString, QString>>{
                 {{both[0]}, true, both[0], ""},
                 {{}, false, "", ""},
                 {{both[0]}, false, both[0], "logs"},
                 {{longest}, true, longest, ""},
                 {{longest + 'a'}, true, "", ""},
                 {{longest}, true, longest, ""},
                 {{"/logs/" + QString(84, u'ロ')}, true, "", ""}}) {
            QDir::setCurrent(dir.path({}));
            port.dialogAnswers = {chosen};
            dialog.NoChangeDir(noChangeDir);
            dialog.ShowOpen(1);
            QCOMPARE(dialog.FilePath() + '|' + dialog.FileName(),
                     taken + '|' + QFileInfo(taken).fileName());
            QCOMPARE(QDir::currentPath(), dir.path(current));
        }
        dialog.AllowMultiSelect(true);
        port.dialogAnswers = {both};
        dialog.ShowOpen(1);
        QCOMPARE(dialog.FilePath() + dialog.FileName(), dir.path("logs"));
        files::OpenFileName record = port.dialogs.back().record;
        QVERIFY(files::completeChoice(record, both));
        const QByteArray listed =
            QFile::encodeName(dir.path("logs")) + QByteArrayLiteral("\0ログ 1.log\0b.log\0\0");
        QCOMPARE(record.lpstrFile.left(listed.size()), listed);
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
