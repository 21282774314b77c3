// SPDX-License-Identifier: MIT
#include "LoadedForm.h"

#include <QtTest>
#include <cstring>

namespace {

const QString plain = frmMain::GetAppCaption();
const QString monitoring = plain + QStringLiteral(" - 監視中");

struct Form : LoadedForm {
    QString path = dir.write(QStringLiteral("app.log"), numberedLines(1, 30));
    std::vector<int> icons; // every change of the window's icon, in order

    Form() {
        form.window.observe([this] {
            if ((icons.empty() ? 0 : icons.back()) != form.window.icon()) {
                icons.push_back(form.window.icon());
            }
        });
    }

    void append(int first, int last) {
        dir.append(QStringLiteral("app.log"), numberedLines(first, last));
    }
    // What the timers would do if they ran: a tick happens only while enabled.
    void poll() {
        if (form.timFileCheck.enabled()) {
            form.timFileCheck_Timer();
        }
    }
    void flashTick() {
        if (form.timFlash.enabled()) {
            form.timFlash_Timer();
        }
    }
    // Monitoring while another window is active, a line is appended and polled.
    void pollNewsInTheBackground() {
        form.OpenWatchedFile(path);
        form.mnuMonitorStart.click();
        port.active = false;
        append(31, 31);
        poll();
    }
    short flashState() const { return form.watchState().mintFlashState; }
};

} // namespace

class MonitoringTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void transitions_data();
    void transitions();
    void pollsRereadOnlyAChangedFile();
    void backgroundReadFlashesUntilActivated();
    void activeWindowEndsTheNoticeUnseen();
    void newReadWhileFlashingRestartsThePhase();
    void missingFileIsAwaitedThenReported_data();
    void missingFileIsAwaitedThenReported();
    void notificationsAreCheckedOnTheLeadingEdge();
};

void MonitoringTest::transitions_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("polling");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("startEnabled");
    QTest::addColumn<bool>("stopEnabled");
    QTest::newRow("initial") << "" << false << false << false << false;
    QTest::newRow("file chosen") << "open" << false << false << true << false;
    QTest::newRow("on") << "open start" << true << true << false << true;
    QTest::newRow("on, polled") << "open start poll poll" << true << true << false << true;
    QTest::newRow("stopped") << "open start stop" << false << false << true << false;
    QTest::newRow("restarted") << "open start stop start" << true << true << false << true;
    QTest::newRow("file chosen while on") << "open start open" << false << false << true << false;
    // The open command stops monitoring before its dialog, also when it is then cancelled.
    QTest::newRow("no file, on") << "stop start" << true << true << false << true;
    QTest::newRow("stopped by the poll") << "stop start poll" << false << false << false << true;
    QTest::newRow("stopped by the poll, then stop")
        << "stop start poll stop" << false << false << true << false;
    QTest::newRow("stopped by the poll, then a file")
        << "stop start poll open" << false << false << true << false;
}

void MonitoringTest::transitions() {
    QFETCH(QString, steps);
    QFETCH(bool, polling);
    QFETCH(bool, marked);
    QFETCH(bool, startEnabled);
    QFETCH(bool, stopEnabled);
    Form f;
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step == u"open") {
            f.form.OpenWatchedFile(f.path);
        } else if (step == u"start") {
            f.form.mnuMonitorStart.click();
        } else if (step == u"stop") {
            f.form.mnuMonitorStop_Click();
        } else if (step == u"poll") {
            f.poll();
        }
    }
    QCOMPARE(f.form.timFileCheck.enabled(), polling);
    QCOMPARE(f.form.window.caption(), marked ? monitoring : plain);
    QCOMPARE(f.form.mnuMonitorStart.enabled(), startEnabled);
    QCOMPARE(f.form.mnuMonitorStop.enabled(), stopEnabled);
    QVERIFY(f.port.messages.empty());
}

void MonitoringTest::pollsRereadOnlyAChangedFile() {
    Form f;
    f.form.OpenWatchedFile(f.path);
    const auto revision = f.form.txtView.textRevision();
    f.form.mnuMonitorStart.click();
    f.poll();
    QCOMPARE(f.form.window.caption(), monitoring);
    QCOMPARE(f.form.txtView.textRevision(), revision);

    f.append(31, 32);
    f.poll();
    QVERIFY(f.form.txtView.text().contains(QStringLiteral("line 31\r\nline 32\r\n")));
    QVERIFY(!f.form.txtView.text().contains(QStringLiteral("line 12\r\n")));

    f.form.mnuMonitorStop.click();
    f.append(33, 33);
    f.form.mnuMonitorStart.click(); // starting reads what changed meanwhile at once
    QVERIFY(f.form.txtView.text().contains(QStringLiteral("line 33\r\n")));
}

void MonitoringTest::backgroundReadFlashesUntilActivated() {
    Form f;
    f.pollNewsInTheBackground();
    // Armed: the icon changes only at the next tick.
    QCOMPARE(f.flashState(), short(1));
    QVERIFY(f.form.timFlash.enabled());
    QVERIFY(f.icons.empty());

    f.flashTick();
    f.flashTick();
    f.flashTick();
    // Stopping monitoring leaves a pending notice alone.
    f.form.mnuMonitorStop.click();
    f.flashTick();
    QCOMPARE(f.icons, (std::vector<int>{2, 1, 2, 1}));

    f.port.active = true;
    f.flashTick();
    QCOMPARE(f.icons, (std::vector<int>{2, 1, 2, 1, 0}));
    QCOMPARE(f.port.attentionCount, 1); // the desktop was asked once, when it armed
    QCOMPARE(f.flashState(), short(0));
    QVERIFY(!f.form.timFlash.enabled());
}

void MonitoringTest::activeWindowEndsTheNoticeUnseen() {
    Form f;
    f.port.active = false;
    f.form.OpenWatchedFile(f.path); // the first read, in the background, arms the notice
    QVERIFY(f.form.timFlash.enabled());
    f.port.active = true;
    f.flashTick();
    QVERIFY(f.icons.empty()); // set to the program's icon, which it already showed
    QCOMPARE(f.form.window.icon(), 0);
    QVERIFY(!f.form.timFlash.enabled());
}

void MonitoringTest::newReadWhileFlashingRestartsThePhase() {
    Form f;
    f.pollNewsInTheBackground();
    f.flashTick();
    QCOMPARE(f.form.window.icon(), 2);
    f.append(32, 32);
    f.poll();
    QCOMPARE(f.flashState(), short(1));
    f.flashTick();
    QCOMPARE(f.icons, (std::vector<int>{2}));
}

void MonitoringTest::missingFileIsAwaitedThenReported_data() {
    QTest::addColumn<int>("backAfterTicks"); // -1: never
    QTest::newRow("rotated: back after two ticks") << 2;
    QTest::newRow("back at the last tick") << 4;
    QTest::newRow("gone for good") << -1;
}

// A log being rotated is missing for a moment; one that stays gone is reported at the fifth tick
// after it went.
void MonitoringTest::missingFileIsAwaitedThenReported() {
    QFETCH(int, backAfterTicks);
    Form f;
    f.form.OpenWatchedFile(f.path);
    f.form.mnuMonitorStart.click();
    QVERIFY(QFile::rename(f.path, f.path + QStringLiteral(".1")));
    f.form.fileWatch_Changed();
    for (int tick = 1; tick <= 4; ++tick) {
        if (tick == backAfterTicks) {
            f.dir.write(QStringLiteral("app.log"), "after rotation\n");
        }
        f.poll();
        QVERIFY(f.port.messages.empty());
        QVERIFY(f.form.timFileCheck.enabled());
    }
    f.poll();
    if (backAfterTicks > 0) {
        QVERIFY(f.port.messages.empty());
        QCOMPARE(f.form.watchState().mstrTailText, QStringLiteral("after rotation\n"));
        QVERIFY(f.form.timFileCheck.enabled());
        return;
    }
    QCOMPARE(f.port.messages.size(), std::size_t(1));
    const FakePort::Message& message = f.port.messages.front();
    QCOMPARE(message.icon, PlatformPort::MsgIcon::Critical);
    QCOMPARE(message.title, plain);
    QCOMPARE(message.prompt, QString::fromLocal8Bit(std::strerror(ENOENT)));
    QCOMPARE(f.form.window.caption(), plain);
    QVERIFY(f.form.mnuMonitorStart.enabled() && !f.form.mnuMonitorStop.enabled());
    QVERIFY(!f.form.timFileCheck.enabled());
    QVERIFY(!f.form.watchState().mblnReading);
    QCOMPARE(f.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(12, 30)));
    f.poll(); // no further poll, so no second message
    QCOMPARE(f.port.messages.size(), std::size_t(1));
}

// News is checked at once; a storm of it costs one check per interval.
void MonitoringTest::notificationsAreCheckedOnTheLeadingEdge() {
    Form f;
    f.form.OpenWatchedFile(f.path);
    f.form.fileWatch_Changed();
    QVERIFY(!f.form.timNotify.enabled()); // not monitoring: nothing watched, nothing checked
    f.form.mnuMonitorStart.click();
    QCOMPARE(f.form.fileWatch.paths(), (QStringList{f.path, f.dir.path({})}));
    auto revision = f.form.txtView.textRevision();
    f.append(31, 31);
    f.form.fileWatch_Changed();
    QCOMPARE(f.form.txtView.textRevision(), ++revision);
    QCOMPARE(f.form.fileWatch.paths(), QStringList{f.dir.path({})}); // its writes: at the end
    for (int line = 32; line < 1032; ++line) {
        f.append(line, line);
        f.form.fileWatch_Changed();
    }
    QCOMPARE(f.form.txtView.textRevision(), revision);
    f.form.timNotify_Timer(); // the end of the interval: one check for all of them
    QCOMPARE(f.form.txtView.textRevision(), ++revision);
    QVERIFY(f.form.txtView.text().contains(QStringLiteral("line 1031\r\n")));
    for (const int interval : {120, 240, 240}) { // while news keeps coming, checks space out
        f.append(1, 1);
        f.form.fileWatch_Changed();
        f.form.timNotify_Timer();
        QCOMPARE(f.form.timNotify.interval(), interval);
    }
    f.form.timNotify_Timer(); // a quiet interval ends the folding
    QVERIFY(!f.form.timNotify.enabled());
    QCOMPARE(f.form.timNotify.interval(), 30);
    f.form.mnuMonitorStop.click();
    QVERIFY(f.form.fileWatch.paths().isEmpty());
}

QTEST_GUILESS_MAIN(MonitoringTest)
#include "tst_monitoring.moc"
