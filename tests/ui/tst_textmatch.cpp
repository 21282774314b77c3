// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "ui/TextMatch.h"

namespace {

using namespace logwarden::ui;

constexpr Folding exact{};
constexpr Folding caseless{true, false, false};
constexpr Folding widthless{false, true, false};
constexpr Folding kanaless{false, false, true};
constexpr Folding loosest{true, true, true};

// Pattern, a regular expression, folding, line; found.
using Match = std::tuple<const char*, QString, bool, Folding, QString, bool>;

} // namespace

class TextMatchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void findsWhatTheFoldingLeavesOut_data() {
        rows<Match>({
            {"exact: case told apart", "error", false, exact, "ERROR x", false},
            {"exact: width told apart", "エラー", false, exact, "ｴﾗｰ発生", false},
            {"exact: the word as typed, blanks too", "ERR 1", false, exact, "xERR 1x", true},
            {"caseless", "error", false, caseless, "an ERROR", true},
            {"half-width katakana", "エラー", false, widthless, "ｴﾗｰ発生", true},
            {"half-width voiced mark composes", "データ", false, widthless, "ﾃﾞｰﾀ", true},
            {"full-width letters and digits", "ERROR42", false, widthless, "ＥＲＲＯＲ４２", true},
            {"full-width, case folded after", "error", false, loosest, "ＥＲＲＯＲ", true},
            {"width folding keeps case", "error", false, widthless, "ＥＲＲＯＲ", false},
            {"hiragana finds katakana", "えらー", false, kanaless, "エラー", true},
            {"katakana finds hiragana", "エラー", false, kanaless, "えらー", true},
            {"kana folding is not width folding", "えらー", false, kanaless, "ｴﾗｰ", false},
            {"all three", "えらー", false, loosest, "ｴﾗｰ", true},
            {"regex: one of", "ERROR|FATAL|例外", true, exact, "[main] 例外が発生", true},
            {"regex: none of", "ERROR|FATAL", true, exact, "INFO fatal", false},
            {"regex: caseless", "ERROR|FATAL", true, caseless, "INFO fatal", true},
            {"regex: widthless", "ｴﾗｰ\\d+", true, widthless, "エラー１２", true},
            {"regex: word classes know Japanese", "^\\w+$", true, exact, "警告", true},
            {"regex that does not compile finds nothing", "ERROR(", true, exact, "ERROR(", false},
        });
    }

    void findsWhatTheFoldingLeavesOut() {
        const auto [tag, pattern, regex, folding, line, found] = row<Match>();
        QCOMPARE(TextMatcher(pattern, regex, folding).matches(line), found);
    }

    void saysWhyARegexCannotBeUsed() {
        QVERIFY(TextMatcher("a[b", true).error().startsWith(QStringLiteral("正規表現の 4 文字目")));
        QVERIFY(TextMatcher("a[b", false).error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TextMatchTest)
#include "tst_textmatch.moc"
