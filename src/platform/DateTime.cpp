// SPDX-License-Identifier: MIT
#include "platform/DateTime.h"

#include <QDateTime>

namespace logwarden::platform {

DateTime localDate(int year, int month, int day) {
    return {QDateTime(QDate(year, month, day), QTime(0, 0)).toSecsSinceEpoch(), 0};
}

QString formatDateTime(DateTime time) {
    return QDateTime::fromSecsSinceEpoch(time.seconds)
        .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

} // namespace logwarden::platform
