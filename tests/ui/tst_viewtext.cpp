// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "ui/ViewText.h"

namespace {

using namespace logwarden;

// A name, a text and what becomes of it.
using Texts = std::tuple<const char*, QString, QString>;

// Each character a line.
QList<QStringView> lines(const QString& text) {
    QList<QStringView> result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        result << QStringView(text).sliced(i, 1);
    }
    return result;
}

const QString acute(1, QChar(0x0301));
const QString musical = QString::fromUtf8("\U0001D167"); // a combining mark beyond 16 bits

// A line is a character; `found` is -1 for none.
using Find = std::tuple<const char*, QString, QString, int, int, int>;

} // namespace

class ViewTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The lines, each followed by '|'.
    // The lines of a text as the view shows them, each followed by '|'.
    void shownLines_data() {
        rows<Texts>({
            {"the empty piece after the file's last line end", "a\r\nb\r\n\r\n", "a|b|"},
            {"a CR LF log read as LF is single-spaced", "a\r\r\nb\r\r\n\r\n", "a|b|"},
            {"a blank last line of the file stays", "a\r\n\r\n\r\n", "a||"},
            {"a CR inside a line shows as its symbol", "a\rb\r\n", "a\u240Db|"},
            {"two CRs before the end: one shows", "a\r\r\r\n", "a\u240D|"},
            {"an LF inside a line ends it", "a\nb\r\n", "a|b|"},
            {"no text, no lines", "", ""},
            {"a line not ended yet", "a\r\nb", "a|b|"},
            // One line of the file is one line of the view, and nothing in it can reorder the rest.
            {"separators, overrides, escapes",
             QString::fromUtf16(u"x\u2028y\u2029\u202Ez\u2066\u2069\x1b[1m\t.\u0085\0\x7f\uFDD0",
                                18),
             "x<U+2028>y<U+2029><U+202E>z<U+2066><U+2069>\u241B[1m\t.<U+0085>\u2400\u2421\uFFFD|"},
            {"100,000 marks on one character", "a" + acute.repeated(100000) + "b",
             "a" + acute.repeated(30) + "…（99970 文字省略）b|"},
            {"marks beyond 16 bits", "a" + musical.repeated(40),
             "a" + musical.repeated(30) + "…（10 文字省略）|"},
            {"a 200 KB line", QString(200000, u'x'), QString(3000, u'x') + "…（197000 文字省略）|"},
            {"a cut keeps a character whole", QString(2999, u'x') + "😀😀",
             QString(2999, u'x') + "😀…（1 文字省略）|"},
        });
    }

    void shownLines() {
        const auto [tag, text, lines] = row<Texts>();
        QString shown;
        for (const QStringView line : ui::splitLines(text)) {
            shown += ui::displayLine(line) + u'|';
        }
        QCOMPARE(shown, lines);
    }

    // Every pair of texts of up to six lines, each one of two lines: alike lines are where the
    // border table of the search matters.
    void lineChangeKeepsTheLongestOverlap() {
        for (int a = 1; a < 128; ++a) {
            for (int b = 1; b < 128; ++b) {
                const QString shown = QString::number(a, 2).sliced(1);
                const QString next = QString::number(b, 2).sliced(1);
                const auto overlap = [&](QStringView start) {
                    qsizetype kept = std::min(shown.size(), start.size());
                    while (!shown.endsWith(start.first(kept))) {
                        --kept;
                    }
                    return kept;
                };
                // Without an overlap, one after a new first line (a window cut inside a line).
                const qsizetype fresh = overlap(next) == 0 && next.size() > 1 &&
                                        overlap(QStringView(next).sliced(1)) > 0;
                const qsizetype kept = overlap(QStringView(next).sliced(fresh));
                QCOMPARE(ui::lineChange(lines(shown), lines(next)),
                         (ui::LineChange{shown.size() - kept, kept, fresh}));
            }
        }
    }

    void findLines_data() {
        rows<Find>({
            {"left at the top", "abc", "cd", 0, 1, -1},
            {"the same occurrence of alike lines", "eaebe", "eee", 2, 1, 1},
            {"the first line kept, alike to one that left", "aab", "aba", 1, 1, 0},
            {"lines no longer together", "abcd", "bxc", 1, 2, -1},
            {"after a first line cut anew", "abcd", "xcde", 2, 2, 1},
            {"past the last line", "ab", "ab", 1, 2, -1},
            {"before the first line", "ab", "ab", -1, 1, -1},
            {"no lines asked for", "ab", "ab", 0, 0, -1},
        });
    }

    void findLines() {
        const auto [tag, shown, next, first, count, found] = row<Find>();
        const auto change = ui::lineChange(lines(shown), lines(next));
        // One line is what the view asks for most.
        const auto at = count == 1 ? ui::findLines(lines(shown), lines(next), change, first)
                                   : ui::findLines(lines(shown), lines(next), change, first, count);
        QCOMPARE(at.value_or(-1), qsizetype(found));
    }
};

QTEST_GUILESS_MAIN(ViewTextTest)
#include "tst_viewtext.moc"
