// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "core/TailRender.h"

namespace {

using namespace logwarden;
using namespace logwarden::core;

// Tail, line end, extraction (none, or a keyword and how many of the last matches); the view's
// text.
using Render = std::tuple<const char*, QString, QString, std::optional<Extraction>, QString>;

std::optional<Extraction> keyword(const QString& word, qsizetype last = 0) {
    return Extraction{ui::TextMatcher(word, false), last};
}

} // namespace

class TailRenderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rendersTheTail_data() {
        rows<Render>({
            {"CRLF tail, CRLF type: empty last line", "a\r\nb\r\n", "\r\n", {}, "a\r\nb\r\n\r\n"},
            {"CRLF tail, LF type: CR kept in pieces", "a\r\nb\r\n", "\n", {}, "a\r\r\nb\r\r\n\r\n"},
            {"LF tail, CRLF type: one piece", "a\nb\n", "\r\n", {}, "a\nb\n\r\n"},
            {"empty tail, extraction off", "", "\r\n", {}, "\r\n"},
            {"empty tail, extraction on", "", "\r\n", keyword("x"), ""},
            {"case-sensitive substring, spaces kept", "ERR 1\nerr 1\nxERR 1\nERR1\n", "\n",
             keyword("ERR 1"), "ERR 1\r\nxERR 1\r\n"},
            {"separators in a row keep empty pieces", "\n\nx", "\n", {}, "\r\n\r\nx\r\n"},
            // A copy of the view must match the log: its characters are kept as they are.
            {"controls and bidi controls kept",
             "a\rb\u202E\x1b\n",
             "\n",
             {},
             "a\rb\u202E\x1b\r\n\r\n"},
            {"empty separator does not hang", "a\nb", "", {}, "a\nb\r\n"},
            // Extraction over the whole read window: the last matches, not those among the last.
            {"the last two matches", "E1\nok\nE2\nE3\nok\n", "\n", keyword("E", 2), "E2\r\nE3\r\n"},
            {"fewer matches than asked", "E1\nok\n", "\n", keyword("E", 5), "E1\r\n"},
            {"no match", "ok\nok\n", "\n", keyword("E", 5), ""},
        });
    }

    void rendersTheTail() {
        const auto [tag, tail, separator, extraction, text] = row<Render>();
        QCOMPARE(renderTail(tail, separator, extraction), text);
    }
};

QTEST_GUILESS_MAIN(TailRenderTest)
#include "tst_tailrender.moc"
