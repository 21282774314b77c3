// SPDX-License-Identifier: MIT
#include "../core/Rows.h"
#include "LoadedForm.h"
#include "view/Layout.h"

#include <cstring>
#include <functional>
#include <map>

namespace {

const QString plain = frmMain::GetAppCaption();
const QString monitoring = plain + QStringLiteral(" - 監視中");

QString numbers(std::initializer_list<double> values) {
    QStringList text;
    for (const double value : values) {
        text << QString::number(value);
    }
    return text.join(u' ');
}

// The panels shown, by letter (p file path, t time stamp, s file size, k keyword), laid out from
// their design places.
PanelGeometry layout(const QString& shown, ui::Size client) {
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
    return layoutPanels({on(u'p'), on(u't'), on(u's'), on(u'k'), true}, client, design, 1500, 1600);
}

struct Form : LoadedForm {
    QString path = dir.write(QStringLiteral("app.log"), numberedLines(1, 30));
    int lines = 30;
    int rotations = 0;
    QString icons; // every change of the window's icon, in order

    Form() {
        form.window.observe([this] {
            const QString icon = QString::number(form.window.icon());
            if (icon != (icons.isEmpty() ? QStringLiteral("0") : icons.right(1))) {
                icons += icon;
            }
        });
    }

    // A tick happens only while its timer runs. "stop" is the handler, which the open command
    // calls too, whether or not the menu item is enabled.
    void run(const QString& steps) {
        const auto tick = [this](const ui::Timer& timer, void (frmMain::*handler)()) {
            if (timer.enabled()) {
                (form.*handler)();
            }
        };
        std::map<QString, std::function<void()>> act;
        act.emplace("open", [&] { form.OpenWatchedFile(path); });
        act.emplace("start", [&] { form.mnuMonitorStart.click(); });
        act.emplace("stop", [&] { form.mnuMonitorStop_Click(); });
        act.emplace("poll", [&] { tick(form.timFileCheck, &frmMain::timFileCheck_Timer); });
        act.emplace("flash", [&] { tick(form.timFlash, &frmMain::timFlash_Timer); });
        act.emplace("append",
                    [&] { dir.append("app.log", "line " + QByteArray::number(++lines) + '\n'); });
        act.emplace("away", [&] { port.active = false; });
        act.emplace("back", [&] { port.active = true; });
        act.emplace("rotate",
                    [&] { QVERIFY(QFile::rename(path, path + QString::number(++rotations))); });
        act.emplace("create", [&] { dir.write("app.log", "after rotation\n"); });
        act.emplace("change", [&] { form.fileWatch_Changed(); });
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            act.at(step)();
        }
    }

    // What the user sees of monitoring and of the update notice, in words.
    QString state() const {
        const QString& caption = form.window.caption();
        const QStringList words{
            form.timFileCheck.enabled() ? "polling" : "",
            caption == monitoring ? "marked"
            : caption == plain    ? ""
                                  : "miscaptioned",
            form.mnuMonitorStart.enabled() ? "start" : "",
            form.mnuMonitorStop.enabled() ? "stop" : "",
            form.timFlash.enabled() ? "flashing" : "",
            icons.isEmpty() ? "" : "icons " + icons,
            port.attentionCount == 0 ? "" : QStringLiteral("asked %1").arg(port.attentionCount),
            port.messages.empty() ? "" : QStringLiteral("told %1").arg(port.messages.size())};
        return words.join(u' ').simplified();
    }

    void resize(ui::WindowState state, ui::Size outer, ui::Size client) {
        form.window.reportGeometry(state, outer, client);
        form.Form_Resize();
    }
    std::vector<ui::Rect> places() const {
        return {form.fraFilePath.rect(),  form.fraLastModified.rect(), form.fraFileLen.rect(),
                form.fraSerchWord.rect(), form.txtView.rect(),         form.lblFilePath.rect(),
                form.lblSerchWord.rect()};
    }
};

// Tops of the path, time-stamp, size and keyword panels (a hidden one keeps its design top),
// the size panel's left, the text view's top and the widths of the two value labels.
using Stack = std::tuple<const char*, QString, QString>;
// The width of the path and keyword panels, of their value labels, and the text view's height.
using Stretch = std::tuple<const char*, ui::Size, QString>;
using Steps = std::tuple<const char*, QString, QString>;

} // namespace

class ViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stackCollapsesOverHiddenPanels_data() {
        rows<Stack>({
            {"all", "ptsk", "-80 325 325 3595 730 1225 4315 4215"},
            {"no keyword", "pts", "-80 325 325 3595 0 810 4315 1645"},
            {"size without the time stamp", "ps", "-80 390 325 0 0 810 4315 1645"},
            {"time stamp without the size", "t", "4920 -80 390 4200 0 405 5945 1645"},
            {"keyword only", "k", "4920 390 390 4200 -80 415 5945 4215"},
            {"none", "", "4920 390 390 4200 0 0 5945 1645"},
        });
    }
    void stackCollapsesOverHiddenPanels() {
        const auto [tag, shown, places] = row<Stack>();
        const PanelGeometry g = layout(shown, {5925, 3750});
        QCOMPARE(
            numbers({g.filePath.top, g.timeStamp.top, g.fileSize.top, g.fileSize.left,
                     g.searchWord.top, g.text.top, g.filePathLabelWidth, g.searchWordLabelWidth}),
            places);
        QCOMPARE(g.text, (ui::Rect{0, g.text.top, 5925, 3750 - g.text.top}));
    }

    void stretchingWidthsFollowTheClient_data() {
        rows<Stretch>({
            {"design", {5925, 3750}, "5915 4315 4215 2525"},
            {"labels would be negative", {1500, 2000}, "1490 0 0 775"},
            {"text would be negative", {5, 600}, "0 0 0 0"},
        });
    }
    void stretchingWidthsFollowTheClient() {
        const auto [tag, client, widths] = row<Stretch>();
        const PanelGeometry g = layout("ptsk", client);
        QCOMPARE(g.searchWord.width, g.filePath.width);
        QCOMPARE(g.text.width, client.width);
        QCOMPARE(numbers({g.filePath.width, g.filePathLabelWidth, g.searchWordLabelWidth,
                          g.text.height}),
                 widths);
    }

    void viewSwitchesFlipSettingAndRelayout() {
        Form f;
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
                QCOMPARE(item.checked(), shown);
                QCOMPARE(setting, shown);
                QCOMPARE(control.visible(), shown);
                QCOMPARE(form.txtView.rect().top + form.txtView.rect().height, 6205.0 + shown);
            }
        }
    }

    void layoutPass() {
        Form f;
        f.port.forwardCalls.clear();
        f.form.mnuViewForward.click();
        f.resize(ui::WindowState::Normal, {9000, 7000}, {8880, 6205});
        const std::vector<ui::Rect> before = f.places();
        f.global.gblnViewFilepath = false;
        f.resize(ui::WindowState::Minimized, {2000, 500}, {0, 0});
        QCOMPARE(f.global.gintModeWindowState, short(1));
        QCOMPARE(f.places(), before);
        QVERIFY(f.form.fraFilePath.visible());
        QCOMPARE(f.form.window.outerSize(), (ui::Size{2000, 500})); // no spring-back either
        f.resize(ui::WindowState::Maximized, {19000, 12000}, {18880, 11205});
        QCOMPARE(f.global.gintModeWindowState, short(2));
        QVERIFY(!f.form.fraFilePath.visible());
        QCOMPARE(f.form.txtView.rect().top, 405.0);
        // Always on top is asserted again by every pass but a minimised one; closing takes the
        // window off the top, not the setting.
        f.form.Form_QueryUnload();
        QVERIFY(f.global.gblnModeWindowForward);
        f.form.mnuViewForward.click();
        QCOMPARE(f.port.forwardCalls, (std::vector<bool>{true, true, true, false, false}));
        QVERIFY(!f.global.gblnModeWindowForward && !f.form.mnuViewForward.checked());
        // The outer size springs back to the minimum, and only when below it.
        int requests = 0;
        f.form.window.observe([&requests] { ++requests; });
        for (const auto& [outer, kept] :
             std::initializer_list<std::pair<ui::Size, ui::Size>>{{{3000, 5000}, {4000, 5000}},
                                                                  {{5000, 3000}, {5000, 4000}},
                                                                  {{3999.5, 3999.5}, {4000, 4000}},
                                                                  {{4000, 4000}, {4000, 4000}}}) {
            f.resize(ui::WindowState::Normal, outer, {outer.width - 120, outer.height - 795});
            QCOMPARE(f.form.window.outerSize(), kept);
        }
        QCOMPARE(requests, 3);
    }

    void monitoring_data() {
        rows<Steps>({
            {"initial", "", ""},
            {"file chosen", "open", "start"},
            {"on", "open start poll", "polling marked stop"},
            {"stopped", "open start stop", "start"},
            {"restarted", "open start stop start", "polling marked stop"},
            {"file chosen while on", "open start open", "start"},
            // The open command stops monitoring before its dialog, also when it is cancelled.
            {"no file, on", "stop start", "polling marked stop"},
            {"stopped by the poll", "stop start poll", "stop"},
            {"stopped by the poll, then stop", "stop start poll stop", "start"},
            {"stopped by the poll, then a file", "stop start poll open", "start"},
            // A read while another window is active arms the notice: the icon changes at the
            // next tick, and the desktop is asked once.
            {"news in the background", "open start away append poll",
             "polling marked stop flashing asked 1"},
            {"flashes until back, also once stopped",
             "open start away append poll flash flash flash stop flash back flash",
             "start icons 21210 asked 1"},
            {"back before a tick: ends unseen", "away open back flash", "start asked 1"},
            {"a new read restarts the phase", "open start away append poll flash append poll flash",
             "polling marked stop flashing icons 2 asked 2"},
            // A log being rotated is missing for a moment; one that stays gone is reported at
            // the fifth tick after it went, and monitoring ends.
            {"rotated", "open start rotate change poll create poll poll poll poll",
             "polling marked stop"},
            {"back at the last tick", "open start rotate change poll poll poll create poll",
             "polling marked stop"},
            {"gone for four ticks", "open start rotate change poll poll poll poll",
             "polling marked stop"},
            {"gone for good", "open start rotate change poll poll poll poll poll poll",
             "start told 1"},
            {"rotated twice",
             "open start rotate change poll create poll poll poll poll rotate poll",
             "polling marked stop"},
        });
    }
    void monitoring() {
        const auto [tag, steps, state] = row<Steps>();
        Form f;
        f.run(steps);
        QCOMPARE(f.state(), state);
    }

    void fileGoneForGoodIsReported() {
        Form f;
        f.run("open start rotate change poll poll poll poll poll");
        QCOMPARE(f.port.messages.size(), std::size_t(1));
        const FakePort::Message& message = f.port.messages.front();
        QCOMPARE(message.icon, PlatformPort::MsgIcon::Critical);
        QCOMPARE(message.title, plain);
        QCOMPARE(message.prompt, QString::fromLocal8Bit(std::strerror(ENOENT)));
        QVERIFY(!f.form.watchState().mblnReading);
        QCOMPARE(f.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(12, 30)));
    }

    // News is checked at once; a storm of it costs one check per interval.
    void notificationsAreCheckedOnTheLeadingEdge() {
        Form f;
        f.run("open append change");
        QVERIFY(!f.form.timNotify.enabled()); // not monitoring: nothing watched, nothing checked
        f.run("start");                       // starting reads what changed meanwhile at once
        QVERIFY(f.form.txtView.text().contains(QStringLiteral("line 31\r\n")));
        const QStringList both{f.path, f.dir.path({})};
        const QStringList folder{f.dir.path({})}; // the file's writes wait for the interval's end
        QCOMPARE(f.form.fileWatch.paths(), both);
        auto revision = f.form.txtView.textRevision();
        f.run("append change");
        QCOMPARE(f.form.txtView.textRevision(), ++revision);
        QCOMPARE(f.form.fileWatch.paths(), folder);
        for (int i = 0; i < 1000; ++i) {
            f.run("append change");
        }
        QCOMPARE(f.form.txtView.textRevision(), revision);
        f.form.timNotify_Timer(); // the end of the interval: one check for all of them
        QCOMPARE(f.form.txtView.textRevision(), ++revision);
        QVERIFY(f.form.txtView.text().contains(QStringLiteral("line 1031\r\n")));
        QCOMPARE(f.form.fileWatch.paths(), folder);
        for (const int interval : {120, 240, 240}) { // while news keeps coming, checks space out
            f.run("append change");
            f.form.timNotify_Timer();
            QCOMPARE(f.form.timNotify.interval(), interval);
        }
        f.form.timNotify_Timer(); // a quiet interval ends the folding
        QVERIFY(!f.form.timNotify.enabled());
        QCOMPARE(f.form.timNotify.interval(), 30);
        QCOMPARE(f.form.fileWatch.paths(), both);
        f.run("stop");
        QVERIFY(f.form.fileWatch.paths().isEmpty());
    }
};

QTEST_GUILESS_MAIN(ViewTest)
#include "tst_view.moc"
