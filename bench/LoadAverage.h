// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <string>

namespace bench {

// /proc/loadavg as it reads: the machine is shared, and every figure is read beside its load.
inline std::string loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toStdString() : "?";
}

} // namespace bench
