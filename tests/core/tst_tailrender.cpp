// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "core/TailRender.h"

namespace {

using namespace logwarden::core;

// Tail, line end, extraction, keyword; the view's text.
using Render = std::tuple<const char*, QString, QString, bool, QString, QString>;

} // namespace

class TailRenderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rendersTheTail_data() {
        rows<Render>({
            {"CRLF tail, CRLF type: empty last line", "a\r\nb\r\n", "\r\n", false, "",
             "a\r\nb\r\n\r\n"},
            {"CRLF tail, LF type: CR kept in pieces", "a\r\nb\r\n", "\n", false, "",
             "a\r\r\nb\r\r\n\r\n"},
            {"LF tail, CRLF type: one piece", "a\nb\n", "\r\n", false, "", "a\nb\n\r\n"},
            {"empty tail, extraction off", "", "\r\n", false, "", "\r\n"},
            {"empty tail, extraction on", "", "\r\n", true, "x", ""},
            {"case-sensitive substring, spaces kept", "ERR 1\nerr 1\nxERR 1\nERR1\n", "\n", true,
             "ERR 1", "ERR 1\r\nxERR 1\r\n"},
            {"separators in a row keep empty pieces", "\n\nx", "\n", false, "", "\r\n\r\nx\r\n"},
            // A copy of the view must match the log: its characters are kept as they are.
            {"controls and bidi controls kept", "a\rb\u202E\x1b\n", "\n", false, "",
             "a\rb\u202E\x1b\r\n\r\n"},
            {"empty separator does not hang", "a\nb", "", false, "", "a\nb\r\n"},
        });
    }

    void rendersTheTail() {
        const auto [tag, tail, separator, extract, keyword, text] = row<Render>();
        QCOMPARE(renderTail(tail, separator, extract, keyword), text);
    }
};

QTEST_GUILESS_MAIN(TailRenderTest)
#include "tst_tailrender.moc"
