// SPDX-License-Identifier: MIT
#include "ui/VisibleText.h"

#include <algorithm>

namespace {

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

bool isLayoutControl(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

} // namespace

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
        const char16_t u = c.unicode();
        if (!hidden(c)) {
            shown += c;
        } else if (isControl(u)) {
            shown += QChar(u == 0x7F ? char16_t(0x2421) : char16_t(0x2400 + u));
        } else {
            shown += QStringLiteral("<U+%1>").arg(uint(u), 4, 16, QLatin1Char('0')).toUpper();
        }
    }
    return shown;
}
