// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <algorithm>
#include <array>

// A recent list written as its slots joined by commas, "a,,c": empty slots in between, and
// empty ones after the last.
using RecentSlots = std::array<QString, 10>;

inline RecentSlots slotsOf(const QString& list) {
    RecentSlots result;
    const QStringList entries = list.split(u',');
    std::copy(entries.begin(), entries.end(), result.begin());
    return result;
}

inline const QString aToJ = QStringLiteral("a,b,c,d,e,f,g,h,i,j");
