// SPDX-License-Identifier: MIT
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
        QCOMPARE(reached.size(), std::size_t(41));
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
            // News is checked at once, and the file's writes are then left unreported until the
            // next frame ends with a check of its own: a stream costs one check a frame.
            {"not monitoring: nothing checked", "open append change", "notify=off; last=line 30"},
            {"starting reads what changed meanwhile", "open append start",
             "last=line 31; watched=app.log ."},
            {"news is checked at once", "open start append change",
             "last=line 31; notify=16; watched=."},
            {"a stream waits for the frame", "open start append change append change append",
             "last=line 31"},
            {"the frame ends with a check, and the next",
             "open start append change append notify append notify",
             "last=line 33; notify=16; watched=."},
            {"a quiet frame ends the folding", "open start append change notify notify",
             "notify=off; watched=app.log ."},
            {"stopped from the menu: nothing watched", "open start append change menu-stop",
             "notify=off; watched="},
            {"after a quiet frame, news is checked at once again",
             "open start append change append notify notify append change", "last=line 33"},
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
