// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "settings/WatchRules.h"

namespace {

using namespace logwarden;
using namespace logwarden::settings;

// A rule's pattern, whether a regular expression, its colours; the start of its problem.
using Check = std::tuple<const char*, QString, bool, QString, QString, QString>;

WatchRule colouring(const QString& pattern, const QString& fore, const QString& back = {}) {
    return {true, pattern, false, true, true, fore, back, false};
}

} // namespace

class WatchRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checksEveryRule_data() {
        rows<Check>({
            {"the defaults", "ERROR|FATAL|例外|異常|失敗", true, "#ffffff", "#C62828", ""},
            {"empty pattern", "", false, "", "", "パターンが空"},
            {"line break", "a\nb", false, "", "", "パターンに改行"},
            {"regex that does not compile", "ERROR(", true, "", "", "正規表現の 7 文字目"},
            {"the same as a word", "ERROR(", false, "#000000", "", ""},
            {"colour by name", "x", false, "red", "", "色「red」"},
            {"colour with a sign", "x", false, "", "#+fffff", "色「#+fffff」"},
            {"colour too short", "x", false, "", "#fff", "色「#fff」"},
        });
    }

    void checksEveryRule() {
        const auto [tag, pattern, regex, fore, back, problem] = row<Check>();
        WatchRule rule{false, pattern, regex, true, true, fore, back, true};
        QCOMPARE(ruleProblem(rule).left(problem.size()), problem);
        QCOMPARE(ruleProblem(rule).isEmpty(), problem.isEmpty());
        // A rule that cannot be applied colours nothing, even switched on.
        rule.enabled = true;
        QCOMPARE(bool(lineStyler({rule})), problem.isEmpty());
    }

    void listProblemNamesTheRule() {
        QCOMPARE(rulesProblem({colouring("a", {}), colouring("b(", {})}), QString());
        QVERIFY(rulesProblem({colouring("a", {}), colouring("", {})}).startsWith("2 番目の規則: "));
    }

    // The first rule that finds the line and colours wins; rules switched off, or without
    // colours, colour nothing.
    void firstColouringRuleWins() {
        QList<WatchRule> rules{colouring("ERROR", {}), colouring("ERROR", "#ff0000"),
                               colouring("E", "#00ff00", "#0000ff"), colouring("W", "#ffffff")};
        rules[3].enabled = false;
        const ui::LineStyler styler = lineStyler(rules);
        QCOMPARE(styler(u"ERROR x"), (ui::LineStyle{ui::Color{255, 0, 0}, {}}));
        QCOMPARE(styler(u"E x"), (ui::LineStyle{ui::Color{0, 255, 0}, ui::Color{0, 0, 255}}));
        QCOMPARE(styler(u"W x"), ui::LineStyle{});
        QVERIFY(!lineStyler(defaultRules())); // ready, not on
    }
};

QTEST_GUILESS_MAIN(WatchRulesTest)
#include "tst_watchrules.moc"
