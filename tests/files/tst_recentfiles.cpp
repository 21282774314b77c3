// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
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
    void choosingAnEntry_data();
    void choosingAnEntry();
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
    // A tab would open the shortcut column; an override would reorder the caption.
    QTest::newRow("tab and override shown")
        << QStringList{QString::fromUtf16(u"/tmp/a\tb\u202Egol.exe")} << false
        << QStringList{QString::fromUtf16(u"&1. /tmp/a\u2409b<U+202E>gol.exe")};
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
    StartedForm w;
    frmMain& form = w.form;
    w.global.gstrRecentFiles = slotsOf(aToJ); // a rebuild must also hide what went away
    form.BuildRecentMenu();
    w.global.gstrRecentFiles = slotsOf(entries);
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

void RecentFilesTest::choosingAnEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("notFound");
    QTest::newRow("another file") << "second.log" << true << false;
    QTest::newRow("the watched file") << "app.log" << false << false;
    // Whatever keeps an entry from opening, the user hears that it is not there.
    QTest::newRow("deleted file") << "gone.log" << false << true;
    QTest::newRow("folder") << "sub" << false << true;
    QTest::newRow("below a file") << "app.log/x.log" << false << true;
    QTest::newRow("mount that is not there") << "/nonexistent-mount/logs/x.log" << false << true;
}

void RecentFilesTest::choosingAnEntry() {
    QFETCH(QString, entry);
    QFETCH(bool, opens);
    QFETCH(bool, notFound);
    TempWorkDir dir;
    const QString watched = dir.write("app.log", "x\n");
    dir.write("second.log", "two\n");
    QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("sub")));
    const QString path = entry.startsWith(u'/') ? entry : dir.path(entry);
    StartedForm w(watched); // opening it put it first in the list
    w.form.mnuMonitorStart.click();
    w.global.gstrRecentFiles[1] = path;
    w.form.BuildRecentMenu();
    const Slots before = w.global.gstrRecentFiles;
    const auto revision = w.form.txtView.textRevision();

    w.form.mnuRecentList.click(path == watched ? 1 : 2);

    QCOMPARE(w.port.messages.size(), std::size_t(notFound ? 1 : 0));
    if (notFound) {
        QCOMPARE(w.port.messages[0].prompt, QStringLiteral("ファイルが存在しません"));
        QCOMPARE(w.port.messages[0].buttons, PlatformPort::MsgButtons::Ok);
    }
    QCOMPARE(w.form.watchState().mstrFilePath, opens ? path : watched);
    QCOMPARE(w.form.txtView.textRevision() != revision, opens);
    QCOMPARE(w.form.timFileCheck.enabled(), !opens);
    QCOMPARE(listOf(w.global.gstrRecentFiles), listOf(opens ? slotsOf({path, watched}) : before));
    QCOMPARE(w.form.mnuRecentList[1].caption(), QStringLiteral("&1. ") + (opens ? path : watched));
}

QTEST_GUILESS_MAIN(RecentFilesTest)
#include "tst_recentfiles.moc"
