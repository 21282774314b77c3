// SPDX-License-Identifier: MIT
#include "LoadedForm.h"

class FormRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The dialog edits the rules; the view takes their colours, also in extraction.
    void dialogChangesTheColours() {
        OpenedLog w;
        QList<platform::WatchRule> rules = settings::defaultRules();
        rules[0].enabled = true;
        w.port.ruleAnswers = {rules, std::nullopt};
        w.form.mnuOptionWatchRules.click();
        const platform::WatchRulesRequest& asked = w.port.ruleDialogs.at(0);
        QVERIFY(asked.rules == settings::defaultRules() && asked.note.isEmpty());
        rules[1].pattern = "(";
        QVERIFY(asked.refusal(rules).startsWith("2 番目の規則: "));
        QCOMPARE(w.form.txtView.lineStyler()(u"x 例外"),
                 (ui::LineStyle{ui::Color{255, 255, 255}, ui::Color{198, 40, 40}}));
        // Cancelled: the rules stay.
        w.form.mnuOptionWatchRules.click();
        QVERIFY(w.global.gudtWatch.rules[0].enabled && w.form.txtView.lineStyler());
        w.port.ruleAnswers = {QList<platform::WatchRule>{}};
        w.form.mnuOptionWatchRules.click();
        QVERIFY(!w.form.txtView.lineStyler());
    }
};

QTEST_GUILESS_MAIN(FormRulesTest)
#include "tst_frmMainRules.moc"
