// SPDX-License-Identifier: MIT
#include "../core/Scenario.h"
#include "files/OpenSaveDialog.h"
#include "files/RecentFiles.h"

namespace {

using Slots = std::array<QString, AppSettings::RecentCount>;
using Dialog = PlatformPort::FileDialog;

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
             asked + "; dialogs=0; file=app.log; polling=yes; stop=yes"},
            {"no file, cancelled", "fileopen", "dialogs=1; start=yes"},
            // A drop of one file opens it, monitoring or not, without a question.
            {"drop: one file", watching + " drop:new.log",
             "told=0; file=new.log; last=new; polling=no; focused=1; recent=new.log,app.log"},
            {"drop: the watched file again", watching + " drop:app.log",
             "told=0; file=app.log; last=line 31; polling=no; focused=1; recent=app.log"},
            {"drop: a missing file", watching + " drop:gone.log", unmoved},
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

    // A minimised window starts its copy as a normal one; a copy that cannot start says why.
    void newWindow() {
        Scenario s;
        s.port.startError = "execv: Permission denied";
        s.form.window.reportGeometry(ui::WindowState::Minimized, {}, {});
        s.form.mnuFileNew.click();
        QCOMPARE(s.port.started.at(0).program, s.port.programPath);
        QVERIFY(!s.port.started[0].maximized);
        QCOMPARE(s.fact("said"),
                 "Critical Ok 新規ウィンドウを起動できません\n" + s.port.startError);
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
        Scenario s;
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
        QCOMPARE(menu.size(), std::size_t(11));
        QCOMPARE(shown.filter(QRegularExpression(".")).join(u'|'), captions);
    }

    // The open command's record; then each show method on a new instance, where nothing but the
    // fixed members is set, and the options of one instance, which persist.
    void dialogRecords() {
        Scenario s;
        s.run("fileopen");
        const auto& [function, record] = s.port.dialogs.at(0);
        QCOMPARE(function, Dialog::Open);
        QCOMPARE(record.hwndOwner, s.port.handle);
        QCOMPARE(record.Flags, 0x81805u);
        QCOMPARE(record.lpstrFilter, QByteArrayLiteral("すべてのファイル (*.*)\0*.*;\0\0"));
        QCOMPARE(record.lpstrInitialDir, QFile::encodeName(QDir::currentPath()));
        QCOMPARE(QString::fromUtf8(record.lpstrTitle + record.lpstrDefExt), "ファイルを開く");
        FakePort port;
        const Dialog functions[] = {Dialog::Open, Dialog::PreviewOpen, Dialog::Save,
                                    Dialog::PreviewSave};
        for (auto show : {&clsOpenSaveDialog::ShowOpen, &clsOpenSaveDialog::ShowPreviewOpen,
                          &clsOpenSaveDialog::ShowSave, &clsOpenSaveDialog::ShowPreviewSave}) {
            (clsOpenSaveDialog(port).*show)(0x77);
            const auto& [function, r] = port.dialogs.back();
            QCOMPARE(function, functions[port.dialogs.size() - 1]);
            QCOMPARE(QString::fromLocal8Bit(r.lpstrTitle),
                     port.dialogs.size() < 3 ? "ファイルを開く" : "ファイルを保存する");
            QCOMPARE(r.hwndOwner, std::uintptr_t(0x77));
            QCOMPARE(r.Flags, 0u);
            QCOMPARE(r.lpstrFile + r.lpstrFileTitle, QByteArray(512, '\0'));
            QCOMPARE(r.nMaxFile + r.nMaxFileTitle, 512u);
            QVERIFY(r.lpstrFilter.isNull() && r.lpstrInitialDir.isNull() && r.lpstrDefExt.isNull());
        }
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

    // A choice that does not fit the 256-byte buffer is not taken; nor does an earlier one
    // survive. Three bytes each in UTF-8: 6 + 252 = 258 bytes, though only 90 characters.
    void choiceIsTakenWhole_data() {
        QTest::addColumn<QStringList>("chosen");
        QTest::newRow("cancelled") << QStringList();
        QTest::newRow("255 bytes") << QStringList{"/logs/" + QString(249, u'a')};
        QTest::newRow("256 bytes") << QStringList{"/logs/" + QString(250, u'a')};
        QTest::newRow("258 bytes, 90 characters") << QStringList{"/logs/" + QString(84, u'ロ')};
    }
    void choiceIsTakenWhole() {
        QFETCH(QStringList, chosen);
        TempWorkDir dir;
        const QString earlier = dir.write("ファイル 1.log", "x");
        FakePort port;
        port.dialogAnswers = {{earlier}, chosen};
        clsOpenSaveDialog dialog(port);
        dialog.NoChangeDir(true);
        dialog.ShowOpen(1);
        QCOMPARE(dialog.FilePath() + '|' + dialog.FileName(), earlier + "|ファイル 1.log");
        dialog.ShowOpen(1);
        const bool taken = chosen.size() == 1 && chosen[0].size() == 255;
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
        QCOMPARE(dialog.FilePath() + dialog.FileName(), dir.path("logs"));
        files::OpenFileName record = port.dialogs.back().record;
        QVERIFY(files::completeChoice(record, both));
        const QByteArray listed =
            QFile::encodeName(dir.path("logs")) + QByteArrayLiteral("\0a.log\0b.log\0\0");
        QCOMPARE(record.lpstrFile.left(listed.size()), listed);
    }
};

QTEST_GUILESS_MAIN(FileMenuTest)
#include "tst_filemenu.moc"
