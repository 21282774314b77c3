#include "FakePort.h"
#include "TempFiles.h"
#include "core/frmMain.h"
#include "files/RecentFiles.h"

#include <QtTest>

using Slots = std::array<QString, AppSettings::RecentCount>;

namespace {

// The given entries padded with empty slots, as the list holds them.
Slots slotsOf(const QStringList& entries) {
    Slots result;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        result[static_cast<std::size_t>(i)] = entries[i];
    }
    return result;
}

// All ten slots, so that a failed comparison prints them.
QStringList listOf(const Slots& list) {
    return {list.begin(), list.end()};
}

const QStringList aToJ{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};

} // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addRecentOrder_data();
    void addRecentOrder();
    void menuFollowsTheList_data();
    void menuFollowsTheList();
    void choosingTheWatchedFileDoesNothing();
    void entryThatCannotBeOpened_data();
    void entryThatCannotBeOpened();
    void choosingAnotherEntryOpensIt();
};

void RecentFilesTest::addRecentOrder_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("re-open slot 4")
        << aToJ << "d" << QStringList{"d", "a", "b", "c", "e", "f", "g", "h", "i", "j"};
    QTest::newRow("eleventh file drops slot 10")
        << aToJ << "k" << QStringList{"k", "a", "b", "c", "d", "e", "f", "g", "h", "i"};
    QTest::newRow("newest again") << aToJ << "a" << aToJ;
    QTest::newRow("oldest again") << aToJ << "j"
                                  << QStringList{"j", "a", "b", "c", "d", "e", "f", "g", "h", "i"};
    QTest::newRow("case differs") << aToJ << "A"
                                  << QStringList{"A", "a", "b", "c", "d", "e", "f", "g", "h", "i"};
    QTest::newRow("empty list") << QStringList{} << "a" << QStringList{"a"};
    QTest::newRow("gaps move down with the list")
        << QStringList{"", "b", "", "d"} << "x" << QStringList{"x", "", "b", "", "d"};
    QTest::newRow("re-open across gaps")
        << QStringList{"", "b", "", "d", "e"} << "d" << QStringList{"d", "", "b", "", "e"};
    QTest::newRow("line feed stays out") << aToJ << "/tmp/x\ny" << aToJ;
    QTest::newRow("carriage return stays out") << aToJ << "/tmp/x\ry" << aToJ;
}

void RecentFilesTest::addRecentOrder() {
    QFETCH(QStringList, before);
    QFETCH(QString, opened);
    QFETCH(QStringList, after);
    Slots list = slotsOf(before);
    addRecent(list, opened);
    QCOMPARE(listOf(list), listOf(slotsOf(after)));
}

void RecentFilesTest::menuFollowsTheList_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("noneShown");
    QTest::addColumn<QStringList>("visibleCaptions");
    QTest::newRow("empty") << QStringList{} << true << QStringList{};
    QTest::newRow("slot 1 empty, slot 3 filled")
        << QStringList{"", "", "/var/log/c"} << true << QStringList{"&3. /var/log/c"};
    QTest::newRow("ampersand kept")
        << QStringList{"/tmp/a&b.log"} << false << QStringList{"&1. /tmp/a&b.log"};
    QStringList full;
    for (const QString& name : aToJ) {
        full << QLatin1Char('&') + QString::number(full.size() + 1) + QStringLiteral(". ") + name;
    }
    QTest::newRow("full") << aToJ << false << full;
}

void RecentFilesTest::menuFollowsTheList() {
    QFETCH(QStringList, entries);
    QFETCH(bool, noneShown);
    QFETCH(QStringList, visibleCaptions);
    TempWorkDir dir;
    modGlobal global;
    FakePort port;
    frmMain form(global, port, {});
    form.Form_Load();
    global.gstrRecentFiles = slotsOf(aToJ); // a rebuild must also hide what went away
    form.BuildRecentMenu();
    global.gstrRecentFiles = slotsOf(entries);
    form.BuildRecentMenu();

    QCOMPARE(form.mnuRecentList.size(), std::size_t(11));
    QCOMPARE(form.mnuRecentList[0].visible(), noneShown);
    QVERIFY(!form.mnuRecentList[0].enabled());
    QStringList shown;
    for (int i = 1; i <= 10; ++i) {
        QVERIFY(form.mnuRecentList[i].enabled());
        if (form.mnuRecentList[i].visible()) {
            shown << form.mnuRecentList[i].caption();
        }
    }
    QCOMPARE(shown, visibleCaptions);
}

void RecentFilesTest::choosingTheWatchedFileDoesNothing() {
    TempWorkDir dir;
    const QString path = dir.write("app.log", "x\n");
    modGlobal global;
    FakePort port;
    frmMain form(global, port, path);
    form.Form_Load();
    form.mnuMonitorStart.click();
    const auto revision = form.txtView.textRevision();
    form.mnuRecentList.click(1);
    QCOMPARE(form.txtView.textRevision(), revision);
    QVERIFY(form.timFileCheck.enabled());
    QVERIFY(port.messages.empty());
}

void RecentFilesTest::entryThatCannotBeOpened_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("deleted file") << "gone.log";
    QTest::newRow("folder") << "sub";
    QTest::newRow("below a file") << "app.log/x.log";
    QTest::newRow("mount that is not there") << "/nonexistent-mount/logs/x.log";
}

void RecentFilesTest::entryThatCannotBeOpened() {
    QFETCH(QString, entry);
    TempWorkDir dir;
    const QString watched = dir.write("app.log", "x\n");
    QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("sub")));
    const QString path = entry.startsWith(u'/') ? entry : dir.path(entry);
    modGlobal global;
    FakePort port;
    frmMain form(global, port, watched);
    form.Form_Load();
    form.mnuMonitorStart.click();
    global.gstrRecentFiles = slotsOf({watched, path});
    form.BuildRecentMenu();

    form.mnuRecentList.click(2);
    QCOMPARE(port.messages.size(), std::size_t(1));
    QCOMPARE(port.messages[0].prompt, QStringLiteral("ファイルが存在しません"));
    QCOMPARE(port.messages[0].icon, PlatformPort::MsgIcon::Information);
    QCOMPARE(port.messages[0].buttons, PlatformPort::MsgButtons::Ok);
    QCOMPARE(port.messages[0].title, frmMain::GetAppCaption());
    QCOMPARE(form.watchState().mstrFilePath, watched);
    QCOMPARE(listOf(global.gstrRecentFiles), listOf(slotsOf({watched, path})));
    QVERIFY(form.timFileCheck.enabled());
}

void RecentFilesTest::choosingAnotherEntryOpensIt() {
    TempWorkDir dir;
    const QString first = dir.write("first.log", "one\n");
    const QString second = dir.write("second.log", "two\n");
    modGlobal global;
    FakePort port;
    frmMain form(global, port, first);
    form.Form_Load();
    global.gstrRecentFiles = slotsOf({first, second});
    form.BuildRecentMenu();
    form.mnuMonitorStart.click();

    form.mnuRecentList.click(2);
    QCOMPARE(form.watchState().mstrFilePath, second);
    QVERIFY(form.txtView.text().contains(QStringLiteral("two")));
    QVERIFY(!form.timFileCheck.enabled());
    QCOMPARE(listOf(global.gstrRecentFiles), listOf(slotsOf({second, first})));
    QCOMPARE(form.mnuRecentList[1].caption(), QStringLiteral("&1. ") + second);
}

QTEST_GUILESS_MAIN(RecentFilesTest)
#include "tst_recentfiles.moc"
