// SPDX-License-Identifier: MIT
#include "PlainUser.h"
#include "Rows.h"
#include "Scenario.h"

#include <set>
#ifdef Q_OS_WIN
#include "platform/win/Windows.h"
#endif

namespace {

// A name, the steps and the facts ("name=value; name=value").
using Texts = std::tuple<const char*, QString, QString>;

// How the system words a missing file, and a folder where the file was.
#ifdef Q_OS_WIN
QString systemReason(DWORD code) {
    return QString::fromLocal8Bit(platform::win::systemCategory().message(int(code)));
}
const QString NoSuchFile = systemReason(ERROR_FILE_NOT_FOUND);
const QString IsAFolder = systemReason(336); // ERROR_DIRECTORY_NOT_SUPPORTED
#else
const QString NoSuchFile = QStringLiteral("No such file or directory");
const QString IsAFolder = QStringLiteral("Is a directory");
#endif

} // namespace

class FormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // As the binding finds them: every item, array and submenu.
    void captionNamesTheVersion() {
        OpenedLog w;
        w.form.mnuMonitorStart.click();
        QCOMPARE(w.form.window.caption(), QStringLiteral("Logwarden (ver 1.1.0) - 監視中"));
    }

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
        QCOMPARE(reached.size(), std::size_t(48));
    }

    // A user who touches none of the new items has the classic window, and no new file.
    void untouchedItemsChangeNothing() {
        OpenedLog w;
        for (const ui::MenuItem* item :
             {&w.form.mnuEditFindWhole, &w.form.mnuEditFindIgnoreCase,
              &w.form.mnuEditFindIgnoreWidth, &w.form.mnuEditFindIgnoreKana,
              &w.form.mnuOptionFollowOnOpen}) {
            QVERIFY(!item->checked());
        }
        QCOMPARE(w.form.txtView.stylerRevision(), 0ULL);
        w.form.saveSettings();
        QVERIFY(QFile::exists("Logwarden.ini") && !QFile::exists(settings::WatchFileName));
        w.form.mnuOptionFollowOnOpen.click();
        w.form.saveSettings();
        QVERIFY(QFile::exists(settings::WatchFileName));
    }

    // It leaves the rules empty and says so, at start, in the dialog and at close.
    void unreadableRuleFile() {
        TempWorkDir dir;
        const PlainUser user(dir.path({}));
        REQUIRE_MODES(user);
        const QString path = dir.write(settings::WatchFileName, "[options]\n");
        QVERIFY(QFile::setPermissions(path, {}));
        StartedForm w;
        QVERIFY(w.global.gudtWatch.rules.isEmpty());
        QVERIFY(w.port.errors.at(0).contains("LogwardenWatch.ini を読めません"));
        w.port.ruleAnswers.push_back(settings::defaultRules());
        w.form.mnuOptionWatchRules.click();
        QVERIFY(w.port.ruleDialogs.at(0).note.contains("保存されません"));
        w.form.saveSettings();
        QVERIFY(
            w.port.errors.back().contains("LogwardenWatch.ini を読めなかったため、保存しません"));
        QCOMPARE(QFileInfo(path).size(), 10);
    }

    // The open command asks for one existing file, in the current folder.
    void openCommandAsksForOneFile() {
#ifdef Q_OS_WIN
        QSKIP("the system's own dialog is shown there (tst_opensavedialog)");
#endif
        LoadedForm s;
        s.form.mnuFileOpen.click();
        const platform::FileDialogRequest& r = s.port.dialogs.at(0);
        QVERIFY(!r.save && r.fileMustExist && r.pathMustExist && !r.multiple && !r.createPrompt);
        QCOMPARE(r.title + '|' + r.initialFolder, "ファイルを開く|" + QDir::currentPath());
        QVERIFY(r.filters == (QList<platform::FileDialogRequest::NameFilter>{
                                 {"すべてのファイル (*.*)", {"*"}}}));
    }

    void scenario_data() {
        const QString on = "polling=yes; caption=app - 監視中; start=no; stop=yes";
        const QString off = "polling=no; caption=app; start=yes; stop=no";
        const QString watching = "open start append"; // one more line than it showed
        const QString unmoved = "told=0; file=app.log; last=line 30; polling=yes";
        const QString asked = "said=Question YesNo モニタリング中です、解除しますか？";
        const QString missing = "told=1; said=Information Ok ファイルが存在しません; file=app.log";
        const QString quiet = "rule-tick rule-tick rule-tick rule-tick rule-tick";
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
            // A log being rotated is missing for a moment: a check that a notification started
            // leaves it to the next poll, which reports a file still missing; any other error is
            // reported at once.
            {"rotated before the poll", "open start rotate change create poll",
             on + "; told=0; last=after rotation"},
            {"missing at the poll", "open start rotate change poll",
             "polling=no; told=1; said=Critical Ok " + NoSuchFile},
            {"a folder in its place", "open start rotate folder change",
             "polling=no; told=1; said=Critical Ok " + IsAFolder},
            // News is checked at once; the file's writes are then only looked at, the line on
            // which a stream stops drawn at the first look that finds no write, and a stream that
            // goes on drawn every tenth of a second (the thirteenth look of eight milliseconds).
            {"not monitoring: nothing checked", "open append change", "notify=off; last=line 30"},
            {"starting reads what changed meanwhile", "open append start",
             "last=line 31; watched=app.log ."},
            {"news is checked at once", "open start append change",
             "last=line 31; notify=8; watched=app.log ."},
            {"then the writes are not reported", "open start append change append notify",
             "last=line 31; watched=."},
            {"drawn when it stops", "open start append change append notify notify",
             "last=line 32; notify=off; watched=app.log ."},
            {"a stream that goes on",
             "open start append change" + QString(" append notify").repeated(12),
             "last=line 31; notify=8"},
            {"drawn every tenth of a second",
             "open start append change" + QString(" append notify").repeated(13), "last=line 44"},
            {"stopped from the menu: nothing watched",
             "open start append change append notify menu-stop", "notify=off; watched="},
            {"after a stream, news is checked at once again",
             "open start append change notify append change", "last=line 32"},
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
            // Following from the first moment: a file opened by any route is monitored.
            {"follow: opened", "follow open", on},
            {"follow: chosen while on", "follow open start fileopen:new.log",
             on + "; file=new.log"},
            {"follow: from the recent list", "follow recent:new.log", on + "; file=new.log"},
            {"follow: dropped", "follow drop:new.log", on + "; file=new.log"},
            {"follow: a file that cannot be read is told once", "follow rotate folder open",
             "polling=no; told=1"},
            {"follow, switched off again", "follow follow open", off},
            // A notifying rule: one note per burst, with the line; the next says how many more.
            {"rules off: no note", "open start error poll", "notes="},
            {"not monitoring: no note", "rules open error open", "notes="},
            {"a new line found", "rules open start append error poll", "notes=app.log|ERROR 32"},
            {"a burst",
             "rules open start error error poll error poll rule-tick rule-tick rule-tick",
             "notes=app.log|ERROR 31\n（ほかに 1 行が一致）"},
            {"its end", "rules open start error error poll error append error poll " + quiet,
             "notes=app.log|ERROR 31\n（ほかに 1 行が一致） / app.log|ERROR 33\n（ほかに 1 "
             "行が一致）"},
            {"after a quiet, at once", "rules open start error poll " + quiet + " error poll",
             "notes=app.log|ERROR 31 / app.log|ERROR 32"},
        });
    }

    void scenario() {
        const auto [tag, steps, facts] = row<Texts>();
#ifdef Q_OS_WIN
        if (steps.contains(QLatin1String("fileopen"))) {
            QSKIP("the system's own dialog is shown there (tst_opensavedialog)");
        }
#endif
        Scenario s;
        s.run(steps);
        for (const QString& item : facts.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            const QString what = item.section(u'=', 0, 0);
            QCOMPARE(what + u'=' + s.fact(what), item);
        }
        QVERIFY(!s.form.watchState().mblnReading);
    }
};

QTEST_GUILESS_MAIN(FormTest)
#include "tst_frmMain.moc"
