// SPDX-License-Identifier: MIT
#include "platform/DateTime.h"

#include <QDateTime>

DateTime localDate(int year, int month, int day) {
    const QDateTime local(QDate(year, month, day), QTime(0, 0));
    return DateTime{std::chrono::seconds{local.toSecsSinceEpoch()}};
}

QString formatDateTime(DateTime time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time).time_since_epoch();
    return QDateTime::fromSecsSinceEpoch(seconds.count())
        .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}
