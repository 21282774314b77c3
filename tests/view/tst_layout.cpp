// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "view/Layout.h"

#include <QtTest>

namespace {

// The design places of the four panels and the text view, as the window starts.
PanelGeometry designGeometry() {
    return {{600, 4920, 7545, 435},
            {60, 390, 3555, 435},
            {4200, 390, 3345, 435},
            {0, 0, 3345, 435},
            {240, 1320, 6855, 3135},
            5790,
            1665};
}

constexpr double pathLabelLeft = 1500;
constexpr double keywordLabelLeft = 1600;

struct Form : LoadedForm {
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

Q_DECLARE_METATYPE(ui::Size)

class LayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stackCollapsesOverHiddenPanels_data();
    void stackCollapsesOverHiddenPanels();
    void stretchingWidthsFollowTheClient_data();
    void stretchingWidthsFollowTheClient();
    void hiddenPanelsKeepTheirPlace();
    void viewSwitchFlipsSettingAndRelayouts_data();
    void viewSwitchFlipsSettingAndRelayouts();
    void minimisedPassOnlyRecordsTheState();
    void outerSizeSpringsBackToTheMinimum_data();
    void outerSizeSpringsBackToTheMinimum();
    void alwaysOnTopIsReassertedByEveryPass();
};

void LayoutTest::stackCollapsesOverHiddenPanels_data() {
    QTest::addColumn<bool>("path");
    QTest::addColumn<bool>("time");
    QTest::addColumn<bool>("size");
    QTest::addColumn<bool>("keyword");
    // Tops of the shown panels (a hidden one keeps its design top), the size panel's left and
    // the text view's top.
    QTest::addColumn<double>("pathTop");
    QTest::addColumn<double>("timeTop");
    QTest::addColumn<double>("sizeTop");
    QTest::addColumn<double>("sizeLeft");
    QTest::addColumn<double>("keywordTop");
    QTest::addColumn<double>("textTop");
    QTest::newRow("all") << true << true << true << true << -80.0 << 325.0 << 325.0 << 3595.0
                         << 730.0 << 1225.0;
    QTest::newRow("no keyword") << true << true << true << false << -80.0 << 325.0 << 325.0
                                << 3595.0 << 0.0 << 810.0;
    QTest::newRow("path and size")
        << true << false << true << false << -80.0 << 390.0 << 325.0 << 0.0 << 0.0 << 810.0;
    QTest::newRow("path and keyword")
        << true << false << false << true << -80.0 << 390.0 << 390.0 << 4200.0 << 325.0 << 820.0;
    QTest::newRow("path only") << true << false << false << false << -80.0 << 390.0 << 390.0
                               << 4200.0 << 0.0 << 405.0;
    QTest::newRow("row and keyword")
        << false << true << true << true << 4920.0 << -80.0 << -80.0 << 3595.0 << 325.0 << 820.0;
    QTest::newRow("time stamp only")
        << false << true << false << false << 4920.0 << -80.0 << 390.0 << 4200.0 << 0.0 << 405.0;
    QTest::newRow("keyword only") << false << false << false << true << 4920.0 << 390.0 << 390.0
                                  << 4200.0 << -80.0 << 415.0;
    QTest::newRow("none") << false << false << false << false << 4920.0 << 390.0 << 390.0 << 4200.0
                          << 0.0 << 0.0;
}

void LayoutTest::stackCollapsesOverHiddenPanels() {
    QFETCH(bool, path);
    QFETCH(bool, time);
    QFETCH(bool, size);
    QFETCH(bool, keyword);
    QFETCH(double, pathTop);
    QFETCH(double, timeTop);
    QFETCH(double, sizeTop);
    QFETCH(double, sizeLeft);
    QFETCH(double, keywordTop);
    QFETCH(double, textTop);
    const ui::Size client{5925, 3750};
    const PanelGeometry g = layoutPanels({path, time, size, keyword, true}, client,
                                         designGeometry(), pathLabelLeft, keywordLabelLeft);
    QCOMPARE(g.filePath.top, pathTop);
    QCOMPARE(g.timeStamp.top, timeTop);
    QCOMPARE(g.fileSize.top, sizeTop);
    QCOMPARE(g.fileSize.left, sizeLeft);
    QCOMPARE(g.searchWord.top, keywordTop);
    QCOMPARE(g.text, (ui::Rect{0, textTop, 5925, 3750 - textTop}));
    // The row panels keep their design widths; every panel keeps its design height.
    QCOMPARE(g.timeStamp.width, 3555.0);
    QCOMPARE(g.fileSize.width, 3345.0);
    for (const ui::Rect& panel : {g.filePath, g.timeStamp, g.fileSize, g.searchWord}) {
        QCOMPARE(panel.height, 435.0);
    }
}

void LayoutTest::stretchingWidthsFollowTheClient_data() {
    QTest::addColumn<ui::Size>("client");
    QTest::addColumn<double>("panelWidth");
    QTest::addColumn<double>("pathLabel");
    QTest::addColumn<double>("keywordLabel");
    QTest::addColumn<double>("textHeight");
    QTest::newRow("design") << ui::Size{5925, 3750} << 5915.0 << 4315.0 << 4215.0 << 2525.0;
    QTest::newRow("wide") << ui::Size{20000, 9000} << 19990.0 << 18390.0 << 18290.0 << 7775.0;
    QTest::newRow("labels would be negative")
        << ui::Size{1500, 2000} << 1490.0 << 0.0 << 0.0 << 775.0;
    QTest::newRow("text would be negative") << ui::Size{5, 600} << 0.0 << 0.0 << 0.0 << 0.0;
}

void LayoutTest::stretchingWidthsFollowTheClient() {
    QFETCH(ui::Size, client);
    QFETCH(double, panelWidth);
    QFETCH(double, pathLabel);
    QFETCH(double, keywordLabel);
    QFETCH(double, textHeight);
    const PanelGeometry g = layoutPanels({true, true, true, true, true}, client, designGeometry(),
                                         pathLabelLeft, keywordLabelLeft);
    QCOMPARE(g.filePath.width, panelWidth);
    QCOMPARE(g.searchWord.width, panelWidth);
    QCOMPARE(g.filePathLabelWidth, pathLabel);
    QCOMPARE(g.searchWordLabelWidth, keywordLabel);
    QCOMPARE(g.text.width, client.width);
    QCOMPARE(g.text.height, textHeight);
}

void LayoutTest::hiddenPanelsKeepTheirPlace() {
    Form f;
    f.global.gblnViewSearchWord = true;
    f.resize(ui::WindowState::Normal, {12000, 9000}, {11880, 8205});
    const std::vector<ui::Rect> shown = f.places();

    f.global.gblnViewFilepath = f.global.gblnViewTimestamp = false;
    f.global.gblnViewFilesize = f.global.gblnViewSearchWord = false;
    f.global.gblnViewText = false;
    f.resize(ui::WindowState::Normal, {8000, 6000}, {7880, 5205});
    QVERIFY(!f.form.fraFilePath.visible() && !f.form.fraLastModified.visible());
    QVERIFY(!f.form.fraFileLen.visible() && !f.form.fraSerchWord.visible());
    QVERIFY(!f.form.txtView.visible());
    QCOMPARE(f.form.fraFilePath.rect(), shown[0]);
    QCOMPARE(f.form.fraLastModified.rect(), shown[1]);
    QCOMPARE(f.form.fraFileLen.rect(), shown[2]);
    QCOMPARE(f.form.fraSerchWord.rect(), shown[3]);
    // The text view is placed even while hidden, and the labels follow their (unmoved) panels.
    QCOMPARE(f.form.txtView.rect(), (ui::Rect{0, 0, 7880, 5205}));
    QCOMPARE(f.form.lblFilePath.rect().width, shown[0].width - 1600);
    QCOMPARE(f.form.lblSerchWord.rect().width, shown[3].width - 1700);
}

void LayoutTest::viewSwitchFlipsSettingAndRelayouts_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("file path") << 0;
    QTest::newRow("time stamp") << 1;
    QTest::newRow("file size") << 2;
    QTest::newRow("keyword") << 3;
    QTest::newRow("text") << 4;
}

void LayoutTest::viewSwitchFlipsSettingAndRelayouts() {
    QFETCH(int, which);
    Form f;
    frmMain& form = f.form;
    ui::MenuItem* items[] = {&form.mnuViewFilepath, &form.mnuViewTimestamp, &form.mnuViewFilesize,
                             &form.mnuViewSearchWord, &form.mnuViewText};
    bool* settings[] = {&f.global.gblnViewFilepath, &f.global.gblnViewTimestamp,
                        &f.global.gblnViewFilesize, &f.global.gblnViewSearchWord,
                        &f.global.gblnViewText};
    const ui::Placed* controls[] = {&form.fraFilePath, &form.fraLastModified, &form.fraFileLen,
                                    &form.fraSerchWord, &form.txtView};
    const bool before = *settings[which];
    const std::size_t forwardCalls = f.port.forwardCalls.size();
    // A resize the form has not laid out yet: the switch must run the layout pass.
    f.form.window.reportGeometry(ui::WindowState::Normal, {9000, 7000}, {8880, 6205});

    items[which]->click();
    QCOMPARE(items[which]->checked(), !before);
    QCOMPARE(*settings[which], !before);
    QCOMPARE(controls[which]->visible(), !before);
    QCOMPARE(form.txtView.rect().width, 8880.0);
    QCOMPARE(f.port.forwardCalls.size(), forwardCalls + 1);

    items[which]->click();
    QCOMPARE(items[which]->checked(), before);
    QCOMPARE(*settings[which], before);
    QCOMPARE(controls[which]->visible(), before);
}

void LayoutTest::minimisedPassOnlyRecordsTheState() {
    Form f;
    f.resize(ui::WindowState::Normal, {9000, 7000}, {8880, 6205});
    const std::vector<ui::Rect> before = f.places();
    const std::size_t forwardCalls = f.port.forwardCalls.size();
    f.global.gblnViewFilepath = false;

    f.resize(ui::WindowState::Minimized, {2000, 500}, {0, 0});
    QCOMPARE(f.global.gintModeWindowState, short(1));
    QCOMPARE(f.places(), before);
    QVERIFY(f.form.fraFilePath.visible());
    QCOMPARE(f.port.forwardCalls.size(), forwardCalls);
    QCOMPARE(f.form.window.outerSize(), (ui::Size{2000, 500})); // no spring-back either

    f.resize(ui::WindowState::Normal, {9000, 7000}, {8880, 6205});
    QCOMPARE(f.global.gintModeWindowState, short(0));
    QVERIFY(!f.form.fraFilePath.visible());
    QCOMPARE(f.form.txtView.rect().top, 405.0);
    QCOMPARE(f.port.forwardCalls.size(), forwardCalls + 1);
}

void LayoutTest::outerSizeSpringsBackToTheMinimum_data() {
    QTest::addColumn<ui::Size>("outer");
    QTest::addColumn<ui::Size>("expected");
    QTest::newRow("narrow") << ui::Size{3000, 5000} << ui::Size{4000, 5000};
    QTest::newRow("low") << ui::Size{5000, 3000} << ui::Size{5000, 4000};
    QTest::newRow("both, just below") << ui::Size{3999.5, 3999.5} << ui::Size{4000, 4000};
    QTest::newRow("exactly the minimum") << ui::Size{4000, 4000} << ui::Size{4000, 4000};
}

void LayoutTest::outerSizeSpringsBackToTheMinimum() {
    QFETCH(ui::Size, outer);
    QFETCH(ui::Size, expected);
    Form f;
    int requests = 0;
    f.form.window.observe([&requests] { ++requests; });
    f.resize(ui::WindowState::Normal, outer, {outer.width - 120, outer.height - 795});
    QCOMPARE(f.form.window.outerSize(), expected);
    QCOMPARE(requests, outer == expected ? 0 : 1);
}

void LayoutTest::alwaysOnTopIsReassertedByEveryPass() {
    Form f;
    f.port.forwardCalls.clear();
    f.form.mnuViewForward.click();
    QVERIFY(f.global.gblnModeWindowForward && f.form.mnuViewForward.checked());
    f.resize(ui::WindowState::Normal, {9000, 7000}, {8880, 6205});
    f.resize(ui::WindowState::Maximized, {19000, 12000}, {18880, 11205});
    QCOMPARE(f.global.gintModeWindowState, short(2));
    QCOMPARE(f.port.forwardCalls, (std::vector<bool>{true, true, true}));
    // The switch does not lay out: a size reported since stays unapplied.
    f.form.window.reportGeometry(ui::WindowState::Normal, {9000, 7000}, {8880, 6205});
    f.form.mnuViewForward.click();
    QCOMPARE(f.port.forwardCalls, (std::vector<bool>{true, true, true, false}));
    QVERIFY(!f.global.gblnModeWindowForward && !f.form.mnuViewForward.checked());
    QCOMPARE(f.form.txtView.rect().width, 18880.0);
}

QTEST_GUILESS_MAIN(LayoutTest)
#include "tst_layout.moc"
