// SPDX-License-Identifier: MIT
#include "ui/ViewText.h"

#include <algorithm>
#include <vector>

namespace logwarden::ui {
namespace {

// Laying out and drawing a line cost more the longer it is, and marks piled on one character
// cost more still: drawn whole, one 200 KB line held the window for about a tenth of a second
// on every refresh, 100,000 marks on one character for over a second. A screenful of lines of
// 3000 characters takes a few milliseconds, about 20,000 pixels wide, which is farther than
// anyone reads sideways; no script needs more marks on one character than the 30 of Unicode's
// stream-safe text format. The view draws no more than that; the copy keeps the whole text.
constexpr qsizetype maxShownLength = 3000;
constexpr int maxMarks = 30;

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

// Characters that reorder or break what follows them; NEL is a line break to some readers.
bool isLayoutControl(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// A C0 control or DEL as its picture; any other as its code.
QString symbolFor(char16_t c) {
    if (c < 0x20 || c == 0x7F) {
        return QChar(c == 0x7F ? char16_t(0x2421) : char16_t(0x2400 + c));
    }
    return QStringLiteral("<U+%1>").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

QString cutMark(qsizetype left) {
    return QStringLiteral("…（%1 文字省略）").arg(left);
}

qsizetype codePoints(QStringView text) {
    return text.size() -
           std::count_if(text.begin(), text.end(), [](QChar c) { return c.isLowSurrogate(); });
}

// The line cut to what the view draws, with a mark where it was cut.
QString shortened(QStringView line) {
    const auto plain = [](QChar c) {
        return c.unicode() < 0x300 || (!c.isMark() && !c.isSurrogate());
    };
    if (line.size() <= maxShownLength && std::all_of(line.begin(), line.end(), plain)) {
        return line.toString();
    }
    QString shown;
    shown.reserve(std::min(line.size(), maxShownLength) + 16);
    int marks = 0;
    qsizetype dropped = 0;
    for (qsizetype i = 0; i < line.size();) {
        const qsizetype at = i;
        char32_t c = line[i++].unicode();
        if (QChar::isHighSurrogate(c) && i < line.size() && line[i].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), line[i++].unicode());
        }
        marks = QChar::isMark(c) ? marks + 1 : 0;
        if (marks > maxMarks) {
            ++dropped;
            continue;
        }
        if (dropped > 0) {
            shown += cutMark(dropped);
            dropped = 0;
        }
        if (shown.size() >= maxShownLength) {
            shown += cutMark(codePoints(line.sliced(at)));
            return shown;
        }
        shown += line.sliced(at, i - at);
    }
    if (dropped > 0) {
        shown += cutMark(dropped);
    }
    return shown;
}

LineChange overlap(const QList<QStringView>& shown, const QList<QStringView>& next) {
    if (shown.isEmpty() || next.isEmpty()) {
        return {shown.size(), 0};
    }
    // Knuth-Morris-Pratt with the next lines as the pattern: the longest end of the shown lines
    // that starts the next ones, in linear time however alike the lines are.
    std::vector<qsizetype> border(static_cast<std::size_t>(next.size()), 0);
    for (qsizetype i = 1, k = 0; i < next.size(); ++i) {
        while (k > 0 && next[i] != next[k]) {
            k = border[static_cast<std::size_t>(k - 1)];
        }
        k += next[i] == next[k] ? 1 : 0;
        border[static_cast<std::size_t>(i)] = k;
    }
    // Starting no earlier than this, a whole match can only end at the last shown line.
    qsizetype k = 0;
    for (qsizetype i = std::max<qsizetype>(0, shown.size() - next.size()); i < shown.size(); ++i) {
        while (k > 0 && shown[i] != next[k]) {
            k = border[static_cast<std::size_t>(k - 1)];
        }
        k += shown[i] == next[k] ? 1 : 0;
    }
    return {shown.size() - k, k};
}

} // namespace

void appendPiece(QString& text, QStringView piece) {
    text.append(piece);
    text.append(QLatin1String("\r\n"));
}

QString visibleText(QStringView text, bool oneLine) {
    const auto hidden = [oneLine](QChar c) {
        const char16_t u = c.unicode();
        return (isControl(u) && (oneLine || (u != u'\t' && u != u'\n'))) || isLayoutControl(u);
    };
    if (std::none_of(text.begin(), text.end(), hidden)) {
        return text.toString();
    }
    QString shown;
    shown.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (hidden(c)) {
            shown += symbolFor(c.unicode());
        } else {
            shown += c;
        }
    }
    return shown;
}

QList<QStringView> splitLines(QStringView text) {
    QList<QStringView> lines;
    for (qsizetype from = 0; from < text.size();) {
        qsizetype end = text.indexOf(u'\n', from);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        end = end < 0 ? text.size() : end;
        for (int cr = 0; cr < 2 && end > from && text[end - 1] == u'\r'; ++cr) {
            --end;
        }
        lines.append(text.sliced(from, end - from));
        from = next;
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QString displayLine(QStringView line) {
    QString shown = visibleText(shortened(line));
    // The text engine takes these noncharacters for the ends of frames.
    shown.replace(QChar(0xFDD0), QChar::ReplacementCharacter);
    shown.replace(QChar(0xFDD1), QChar::ReplacementCharacter);
    return shown;
}

LineChange lineChange(const QList<QStringView>& shown, const QList<QStringView>& next) {
    const LineChange change = overlap(shown, next);
    // A window that holds fewer lines than the view shows starts inside a line, another one
    // each time: the lines after it may still follow those shown.
    if (change.kept == 0 && next.size() > 1) {
        const LineChange rest = overlap(shown, next.sliced(1));
        if (rest.kept > 0) {
            return {rest.dropped, rest.kept, 1};
        }
    }
    return change;
}

std::optional<qsizetype> findLines(const QList<QStringView>& shown, const QList<QStringView>& next,
                                   LineChange change, qsizetype first, qsizetype count) {
    if (first < 0 || count < 1 || first + count > shown.size()) {
        return std::nullopt;
    }
    if (change.kept > 0 && first >= change.dropped) {
        return first - change.dropped + change.fresh;
    }
    const QStringView line = shown[first];
    qsizetype rank = std::count(shown.begin(), shown.begin() + first, line);
    std::optional<qsizetype> at;
    for (qsizetype i = 0; i < next.size(); ++i) {
        if (next[i] == line) {
            at = i;
            if (rank-- == 0) {
                break;
            }
        }
    }
    if (!at || *at + count > next.size() ||
        !std::equal(shown.begin() + first, shown.begin() + first + count, next.begin() + *at)) {
        return std::nullopt;
    }
    return at;
}

} // namespace logwarden::ui
