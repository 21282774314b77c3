// SPDX-License-Identifier: MIT
#include "../core/Scenario.h"
#include "view/Layout.h"

namespace {

// The panels shown, by letter (p file path, t time stamp, s file size, k keyword); the client
// size; the tops of the path, time-stamp, size and keyword panels (a hidden one keeps its design
// top), the size panel's left, the text view's top, the widths of the path and keyword panels
// and of their value labels and the text view's height.
using Stack = std::tuple<const char*, QString, ui::Size, QString>;

struct Form : Scenario {
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

} // namespace

class ViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stackCollapsesOverHiddenPanels_data() {
        const ui::Size design{5925, 3750};
        rows<Stack>({
            {"all", "ptsk", design, "-80 325 325 3595 730 1225 5915 5915 4315 4215 2525"},
            {"no keyword", "pts", design, "-80 325 325 3595 0 810 5915 3345 4315 1645 2940"},
            {"size without the time stamp", "ps", design,
             "-80 390 325 0 0 810 5915 3345 4315 1645 2940"},
            {"time stamp without the size", "t", design,
             "4920 -80 390 4200 0 405 7545 3345 5945 1645 3345"},
            {"keyword only", "k", design, "4920 390 390 4200 -80 415 7545 5915 5945 4215 3335"},
            {"none", "", design, "4920 390 390 4200 0 0 7545 3345 5945 1645 3750"},
            {"labels would be negative",
             "ptsk",
             {1500, 2000},
             "-80 325 325 3595 730 1225 1490 1490 0 0 775"},
            {"text would be negative", "ptsk", {5, 600}, "-80 325 325 3595 730 1225 0 0 0 0 0"},
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
                QCOMPARE((QList{item.checked(), setting, control.visible()}),
                         QList<bool>(3, shown));
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
        const QString on = "polling=yes; caption=app - 監視中; start=no; stop=yes";
        const QString off = "polling=no; caption=app; start=yes; stop=no";
        rows<Steps>({
            {"initial", "", "polling=no; caption=app; start=no; stop=no"},
            {"file chosen", "open", off},
            {"on", "open start poll", on},
            {"stopped", "open start stop", off},
            {"file chosen while on", "open start open", off},
            // The open command stops monitoring before its dialog, also when it is cancelled.
            {"no file, on", "stop start", on},
            {"stopped by the poll", "stop start poll",
             "polling=no; caption=app; start=no; stop=yes"},
            {"stopped by the poll, then a file", "stop start poll open", off},
            // A read while another window is active arms the notice: the icon changes at the
            // next tick, and the desktop is asked once.
            {"news in the background", "open start away append poll",
             "flashing=yes; icons=; asked=1"},
            {"flashes until back, also once stopped",
             "open start away append poll flash flash flash stop flash back flash",
             "flashing=no; icons=21210; asked=1"},
            {"back before a tick: ends unseen", "away open back flash",
             "flashing=no; icons=; asked=1"},
            {"a new read restarts the phase", "open start away append poll flash append poll flash",
             "flashing=yes; icons=2; asked=2"},
            // A log being rotated is missing for a moment; one that stays gone is reported at
            // the fifth tick after it went, and monitoring ends.
            {"rotated", "open start rotate change poll create poll poll poll poll",
             on + "; told=0; last=after rotation"},
            {"gone for four ticks", "open start rotate change poll poll poll poll",
             on + "; told=0"},
            {"gone for good", "open start rotate change poll poll poll poll poll poll",
             off + "; told=1; said=Critical Ok No such file or directory; last=line 30"},
            {"rotated twice",
             "open start rotate change poll create poll poll poll poll rotate poll",
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
            {"stopped: nothing watched", "open start append change stop", "notify=off; watched="},
        });
    }
    void monitoring() {
        const auto [tag, steps, facts] = row<Steps>();
        Form f;
        f.run(steps);
        f.check(facts);
        QVERIFY(!f.form.watchState().mblnReading);
    }
};

QTEST_GUILESS_MAIN(ViewTest)
#include "tst_view.moc"
