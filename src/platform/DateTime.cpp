// SPDX-License-Identifier: MIT
#include "platform/DateTime.h"

#include <QDateTime>

namespace logwarden::platform {

DateTime localDate(int year, int month, int day) {
    return {QDateTime(QDate(year, month, day), QTime(0, 0)).toSecsSinceEpoch(), 0};
}

// A refresh shows the time of every change; within a second it is the same text, and the local
// time it takes is most of a refresh's own cost.
QString formatDateTime(DateTime time) {
    thread_local std::int64_t lastSeconds = 0;
    thread_local QString lastText;
    if (lastText.isEmpty() || time.seconds != lastSeconds) {
        lastSeconds = time.seconds;
        lastText = QDateTime::fromSecsSinceEpoch(time.seconds)
                       .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    }
    return lastText;
}

} // namespace logwarden::platform
