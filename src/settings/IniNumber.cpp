// SPDX-License-Identifier: MIT
#include "settings/IniNumber.h"

#include <algorithm>
#include <limits>

namespace logwarden::settings::modIniFile {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; });
}

QStringView trimmed(QStringView text) {
    while (!text.isEmpty() && isBlank(text.front())) {
        text = text.sliced(1);
    }
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
    return text;
}

bool roundsUp(QStringView fraction, long whole) {
    if (fraction.isEmpty() || fraction.front() < u'5') {
        return false;
    }
    if (fraction.front() > u'5') {
        return true;
    }
    const bool pastHalf =
        std::any_of(fraction.begin() + 1, fraction.end(), [](QChar c) { return c != u'0'; });
    return pastHalf || whole % 2 != 0;
}

} // namespace

std::optional<short> iniNumber(QStringView text) {
    text = trimmed(text);
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+')) {
        text = text.sliced(1);
    }
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.first(point);
    const QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
    if (whole.isEmpty() && fraction.isEmpty()) {
        return std::nullopt;
    }
    if (!allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    // Saturates well past the 16-bit range so that long digit strings cannot overflow.
    constexpr long ceiling = 1'000'000;
    long magnitude = 0;
    for (const QChar c : whole) {
        magnitude = std::min(magnitude * 10 + (c.unicode() - u'0'), ceiling);
    }
    if (roundsUp(fraction, magnitude)) {
        ++magnitude;
    }
    const long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max()) {
        return std::nullopt;
    }
    return static_cast<short>(value);
}

} // namespace logwarden::settings::modIniFile
