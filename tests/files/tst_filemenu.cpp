// SPDX-License-Identifier: MIT
#include "../core/Scenario.h"
#include "files/OpenSaveDialog.h"
#include "files/RecentFiles.h"

namespace {

using Slots = std::array<QString, AppSettings::RecentCount>;
using Dialog = PlatformPort::FileDialog;

// The slots as a list, empty ones left off the end.
QStringList listOf(const Slots& slots) {
    QStringList list(slots.begin(), slots.end());
    while (!list.isEmpty() && list.last().isEmpty()) {
        list.removeLast();
    }
    return list;
}

Slots slotsOf(const QString& list) {
    Slots result;
    const QStringList entries = list.split(u',');
    std::copy(entries.begin(), entries.end(), result.begin());
    return result;
}

const QString aToJ = "a,b,c,d,e,f,g,h,i,j";
// Watching app.log with one more line than it showed; the facts when nothing else happened.
const QString watching = "open start append";
const QString unmoved = "told=0; file=app.log; last=line 30; polling=yes; focused=0";
const QString asked = "said=Question YesNo モニタリング中です、解除しますか？";
const QString missing = "told=1; said=Information Ok ファイルが存在しません; file=app.log";

// The recent list; whether the "none" item shows, and the captions of the items that show.
using Menu = std::tuple<const char*, QString, bool, QStringList>;
// Watching a file or not, the window's state, why starting fails; whether it starts maximised.
using NewWindow = std::tuple<const char*, bool, ui::WindowState, QString, bool>;
// The files chosen (none for a cancel), and whether the choice is taken.
using Choice = std::tuple<const char*, QStringList, bool>;

} // namespace

class FileMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commands_data() {
        rows<Steps>({
            // The open command asks while monitoring, and stops it unless told not to.
            {"idle, chosen", "open choose:new.log fileopen",
             "told=0; dialogs=1; file=new.log; last=new; polling=no"},
            {"idle, cancelled", "open fileopen", "told=0; dialogs=1; file=app.log; polling=no"},
            {"monitoring, Yes, chosen", "open start answer:Yes choose:new.log fileopen",
             asked + "; dialogs=1; file=new.log; polling=no; caption=app; stop=no"},
            {"monitoring, Yes, cancelled", "open start answer:Yes fileopen",
             asked + "; dialogs=1; file=app.log; polling=no; caption=app; stop=no"},
            {"monitoring, No", "open start answer:No choose:new.log fileopen",
             asked + "; dialogs=0; file=app.log; polling=yes; caption=app - 監視中; stop=yes"},
            {"no file, cancelled", "fileopen", "dialogs=1; start=yes"},
            // A drop of one file opens it, monitoring or not, without a question.
            {"drop: one file", watching + " drop:new.log",
             "told=0; file=new.log; last=new; polling=no; focused=1; caption=app; "
             "recent=new.log,app.log"},
            {"drop: the watched file again", watching + " drop:app.log",
             "told=0; file=app.log; last=line 31; polling=no; focused=1; recent=app.log"},
            {"drop: two files", watching + " drop:new.log,app.log", unmoved},
            {"drop: no files", watching + " drop:", unmoved},
            {"drop: a folder", watching + " drop:sub", unmoved},
            {"drop: a missing file", watching + " drop:gone.log", unmoved},
            {"drop: not a file list", watching + " droptext:new.log", unmoved},
            // Whatever keeps a recent entry from opening, the user hears that it is not there.
            {"recent: another file", watching + " remember:new.log recent:2",
             "told=0; file=new.log; last=new; polling=no; recent=new.log,app.log"},
            {"recent: the watched file", watching + " remember:app.log recent:1", unmoved},
            {"recent: deleted file", watching + " remember:gone.log recent:2",
             missing + "; polling=yes; recent=app.log,gone.log"},
            {"recent: folder", watching + " remember:sub recent:2", missing},
            {"recent: below a file", watching + " remember:app.log/x.log recent:2", missing},
        });
    }
    void commands() {
        const auto [tag, steps, facts] = row<Steps>();
        Scenario s;
        s.run(steps);
        s.check(facts);
    }

    void openDialogRecord() {
        Scenario s;
        s.run("fileopen");
        const auto& [function, record] = s.port.dialogs.at(0);
        QCOMPARE(function, Dialog::Open);
        QCOMPARE(record.hwndOwner, s.port.handle);
        QCOMPARE(record.Flags, 0x81805u);
        QCOMPARE(record.lpstrFilter, QByteArrayLiteral("すべてのファイル (*.*)\0*.*;\0\0"));
        QCOMPARE(record.lpstrInitialDir, QFile::encodeName(QDir::currentPath()));
        QCOMPARE(QString::fromUtf8(record.lpstrTitle), QStringLiteral("ファイルを開く"));
        QVERIFY(record.lpstrDefExt.isNull());
    }

    void newWindow_data() {
        rows<NewWindow>({
            {"no file, normal", false, ui::WindowState::Normal, {}, false},
            {"file, maximised", true, ui::WindowState::Maximized, {}, true},
            {"file, minimised counts as normal", true, ui::WindowState::Minimized, {}, false},
            {"cannot start", false, ui::WindowState::Normal, "execv: Permission denied", false},
        });
    }
    void newWindow() {
        const auto [tag, watching, state, startError, maximized] = row<NewWindow>();
        Scenario s;
        const QString path = s.dir.write("a b $(c);'d'.log", "x\n");
        if (watching) {
            s.form.OpenWatchedFile(path);
        }
        s.port.startError = startError;
        s.form.window.reportGeometry(state, {}, {});
        s.form.mnuFileNew.click();
        QCOMPARE(s.port.started.size(), std::size_t(1));
        QCOMPARE(s.port.started[0].program, s.port.programPath);
        QCOMPARE(s.port.started[0].arguments,
                 watching ? QStringList{u'"' + path + u'"'} : QStringList{});
        QCOMPARE(s.port.started[0].maximized, maximized);
        QCOMPARE(s.fact("said"), startError.isEmpty()
                                     ? QString()
                                     : "Critical Ok 新規ウィンドウを起動できません\n" + startError);
    }

    void addRecentOrder_data() {
        rows<Texts>({
            {"re-open slot 4", aToJ + ">d", "d,a,b,c,e,f,g,h,i,j"},
            {"eleventh file drops slot 10", aToJ + ">k", "k,a,b,c,d,e,f,g,h,i"},
            {"newest again", aToJ + ">a", aToJ},
            {"oldest again", aToJ + ">j", "j,a,b,c,d,e,f,g,h,i"},
            {"case differs", aToJ + ">A", "A,a,b,c,d,e,f,g,h,i"},
            {"empty list", ">a", "a"},
            {"gaps move down with the list", ",b,,d>x", "x,,b,,d"},
            {"re-open across gaps", ",b,,d,e>d", "d,,b,,e"},
            {"line feed stays out", aToJ + ">/tmp/x\ny", aToJ},
            {"carriage return stays out", aToJ + ">/tmp/x\ry", aToJ},
        });
    }
    // The list before '>', the path opened after it.
    void addRecentOrder() {
        const auto [tag, change, after] = row<Texts>();
        Slots list = slotsOf(change.section(u'>', 0, 0));
        addRecent(list, change.section(u'>', 1));
        QCOMPARE(listOf(list).join(u','), after);
    }

    void menuFollowsTheList_data() {
        rows<Menu>({
            {"empty", "", true, {}},
            {"slot 1 empty, slot 3 filled", ",,/var/log/c", true, {"&3. /var/log/c"}},
            {"ampersand kept", "/tmp/a&b.log", false, {"&1. /tmp/a&b.log"}},
            // A tab would open the shortcut column; an override would reorder the caption.
            {"tab and override shown",
             "/tmp/a\tb\u202Egol.exe",
             false,
             {"&1. /tmp/a\u2409b<U+202E>gol.exe"}},
            {"full",
             aToJ,
             false,
             {"&1. a", "&2. b", "&3. c", "&4. d", "&5. e", "&6. f", "&7. g", "&8. h", "&9. i",
              "&10. j"}},
        });
    }
    void menuFollowsTheList() {
        const auto [tag, list, noneShown, captions] = row<Menu>();
        Scenario s;
        s.global.gstrRecentFiles = slotsOf(aToJ); // a rebuild must also hide what went away
        s.form.BuildRecentMenu();
        s.global.gstrRecentFiles = slotsOf(list);
        s.form.BuildRecentMenu();
        const ui::MenuArray& menu = s.form.mnuRecentList;
        QCOMPARE(menu.size(), std::size_t(11));
        QVERIFY(!menu[0].enabled());
        QCOMPARE(menu[0].visible(), noneShown);
        QStringList shown;
        for (int i = 1; i <= 10; ++i) {
            QVERIFY(menu[i].enabled());
            if (menu[i].visible()) {
                shown << menu[i].caption();
            }
        }
        QCOMPARE(shown, captions);
    }

    // Each show method, on a new instance: nothing but the fixed members is set.
    void recordOfEachShowMethod() {
        FakePort port;
        clsOpenSaveDialog dialog(port);
        dialog.ShowOpen(0x77);
        dialog.ShowPreviewOpen(0x77);
        dialog.ShowSave(0x77);
        dialog.ShowPreviewSave(0x77);
        const Dialog functions[] = {Dialog::Open, Dialog::PreviewOpen, Dialog::Save,
                                    Dialog::PreviewSave};
        for (std::size_t i = 0; i < 4; ++i) {
            const files::OpenFileName& r = port.dialogs.at(i).record;
            QCOMPARE(port.dialogs[i].function, functions[i]);
            QCOMPARE(QString::fromLocal8Bit(r.lpstrTitle),
                     i < 2 ? "ファイルを開く" : "ファイルを保存する");
            QCOMPARE(r.hwndOwner, std::uintptr_t(0x77));
            QCOMPARE(r.Flags, 0u);
            QCOMPARE(r.lpstrFile + r.lpstrFileTitle, QByteArray(512, '\0'));
            QCOMPARE(r.nMaxFile + r.nMaxFileTitle, 512u);
            QVERIFY(r.lpstrFilter.isNull() && r.lpstrInitialDir.isNull() && r.lpstrDefExt.isNull());
        }
    }

    // The open command's flag word is checked with the command; these are the others.
    void optionsReachTheRecord() {
        FakePort port;
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
        QCOMPARE(first.lpstrInitialDir, QByteArray("/no/such/folder"));
        QCOMPARE(first.lpstrDefExt, QByteArray("log"));
        QVERIFY(port.dialogs[1].record.lpstrInitialDir.isNull());
        QCOMPARE(port.dialogs[1].record.lpstrFilter, first.lpstrFilter); // options persist
    }

    void choiceIsTakenWhole_data() {
        const QString folder = QStringLiteral("/logs/");
        rows<Choice>({
            {"cancelled", {}, false},
            {"255 bytes", {folder + QString(249, u'a')}, true},
            {"256 bytes", {folder + QString(250, u'a')}, false},
            // Three bytes each in UTF-8: 6 + 249 = 255 bytes, though only 89 characters.
            {"255 bytes, multibyte", {folder + QString(83, u'ロ')}, true},
            {"258 bytes, 90 characters", {folder + QString(84, u'ロ')}, false},
        });
    }
    // A choice that does not fit the 256-byte buffer is not taken; nor does an earlier one survive.
    void choiceIsTakenWhole() {
        const auto [tag, chosen, taken] = row<Choice>();
        TempWorkDir dir;
        const QString earlier = dir.write("ファイル 1.log", "x");
        FakePort port;
        port.dialogAnswers = {{earlier}, chosen};
        clsOpenSaveDialog dialog(port);
        dialog.NoChangeDir(true);
        dialog.ShowOpen(1);
        QCOMPARE(dialog.FilePath(), earlier);
        QCOMPARE(dialog.FileName(), QStringLiteral("ファイル 1.log"));
        dialog.ShowOpen(1);
        QCOMPARE(dialog.FilePath(), taken ? chosen.first() : QString());
        QCOMPARE(dialog.FileName(), taken ? QFileInfo(chosen.first()).fileName() : QString());
    }

    // Unless told not to, a choice makes its folder the current one; several files are listed
    // after their folder, and FilePath reads the first string.
    void choiceMovesTheCurrentFolder() {
        TempWorkDir dir;
        QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("logs")));
        const QStringList both{dir.path("logs/a.log"), dir.path("logs/b.log")};
        FakePort port;
        port.dialogAnswers = {{both[0]}, {}, {both[0]}, both};
        clsOpenSaveDialog dialog(port);
        for (const bool noChangeDir : {true, false, false}) {
            QDir::setCurrent(dir.path({}));
            dialog.NoChangeDir(noChangeDir);
            dialog.ShowOpen(1);
            QCOMPARE(QDir::currentPath(),
                     dir.path(noChangeDir || port.dialogAnswers.size() == 2 ? "" : "logs"));
        }
        dialog.AllowMultiSelect(true);
        dialog.ShowOpen(1);
        QCOMPARE(dialog.FilePath(), dir.path("logs"));
        QVERIFY(dialog.FileName().isEmpty());
        files::OpenFileName record = port.dialogs.back().record;
        QVERIFY(files::completeChoice(record, both));
        const QByteArray listed =
            QFile::encodeName(dir.path("logs")) + QByteArrayLiteral("\0a.log\0b.log\0\0");
        QCOMPARE(record.lpstrFile.left(listed.size()), listed);
    }
};

QTEST_GUILESS_MAIN(FileMenuTest)
#include "tst_filemenu.moc"
