// SPDX-License-Identifier: MIT
#include "Scenario.h"

namespace {} // namespace

class FormViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void viewSwitchesAndLayoutPass() {
        Scenario f;
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
        // A minimised window keeps its layout and its size.
        const auto resize = [&](ui::WindowState state, ui::Size outer, ui::Size client) {
            form.window.reportGeometry(state, outer, client);
            form.Form_Resize();
        };
        const ui::Rect before = form.txtView.rect();
        f.global.gblnViewFilepath = false;
        resize(ui::WindowState::Minimized, {2000, 500}, {0, 0});
        QCOMPARE(f.global.gintModeWindowState, short(1));
        QVERIFY(form.txtView.rect() == before && form.fraFilePath.visible());
        QCOMPARE(form.window.outerSize(), (ui::Size{2000, 500}));
        resize(ui::WindowState::Maximized, {19000, 12000}, {18880, 11205});
        QCOMPARE(f.global.gintModeWindowState, short(2));
        QVERIFY(!form.fraFilePath.visible() && form.txtView.rect().top == 405.0);
    }
};

QTEST_GUILESS_MAIN(FormViewTest)
#include "tst_frmMainView.moc"
