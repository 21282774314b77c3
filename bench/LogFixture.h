// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Log files for the benchmarks: lines like a real application log, half of them Japanese.
namespace bench {

// Whole log lines, each ending in LF, `bytes` long in total (the first line may be cut).
QByteArray logLines(qsizetype bytes);

// `count` lines of exactly `lineBytes` bytes each, LF included; every fifth one, the first
// included, holds the keyword "障害".
QByteArray wideLines(int count, int lineBytes);

// A log file of `size` bytes. Past 256 MiB it is sparse: a hole, then 1 MiB of log lines, so
// that every read window still holds real lines. Returns false when it cannot be made.
bool writeLogFile(const QString& path, qint64 size);

QString sizeName(qint64 size);

} // namespace bench
