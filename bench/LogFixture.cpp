// SPDX-License-Identifier: MIT
#include "LogFixture.h"

#include <QFile>
#include <array>

namespace bench {
namespace {

constexpr qint64 denseLimit = qint64(256) << 20;
constexpr qsizetype sparseTail = qsizetype(1) << 20;

QByteArray logLine(int n) {
    static const std::array<const char*, 8> messages{
        "INFO  request handled path=/api/v2/orders status=200",
        "INFO  バッチ処理を開始しました job=nightly-import",
        "DEBUG cache lookup key=session:4f1c9a hit=true",
        "WARN  応答が遅れています upstream=db-primary",
        "INFO  取込ファイルを読み込みました rows=18231",
        "ERROR 接続に失敗しました、再試行します attempt=3",
        "INFO  scheduler tick queue=mail pending=12 running=2",
        "INFO  処理が完了しました elapsed_ms=842"};
    const int second = n % 86400;
    return QStringLiteral("2024/03/05 %1:%2:%3.%4 [worker-%5] ")
               .arg(second / 3600, 2, 10, QLatin1Char('0'))
               .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
               .arg(second % 60, 2, 10, QLatin1Char('0'))
               .arg(n * 37 % 1000, 3, 10, QLatin1Char('0'))
               .arg(n % 7)
               .toUtf8() +
           messages[static_cast<std::size_t>(n * 5 % 8)] + " seq=" + QByteArray::number(n) + '\n';
}

} // namespace

QByteArray logLines(qsizetype bytes) {
    QByteArray lines;
    lines.reserve(bytes + 256);
    for (int n = 0; lines.size() < bytes; ++n) {
        lines += logLine(n);
    }
    return lines.right(bytes);
}

QByteArray wideLines(int count, int lineBytes) {
    QByteArray lines;
    lines.reserve(qsizetype(count) * lineBytes);
    for (int n = 0; n < count; ++n) {
        QByteArray line = n % 5 == 0 ? "ERROR 障害 " : "INFO  ";
        while (line.size() < lineBytes - 1) {
            line += logLine(n).chopped(1) + ' ';
        }
        line.truncate(lineBytes - 1);
        // A cut may split a UTF-8 sequence: end on a whole character.
        while (!line.isEmpty() && (static_cast<unsigned char>(line.back()) & 0x80) != 0) {
            line.back() = '.';
        }
        lines += line + '\n';
    }
    return lines;
}

bool writeLogFile(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const qsizetype dense = size <= denseLimit ? qsizetype(size) : sparseTail;
    if (dense < size && (!file.resize(size - dense) || !file.seek(size - dense))) {
        return false;
    }
    constexpr qsizetype chunk = qsizetype(4) << 20;
    const QByteArray lines = logLines(std::min(dense, chunk));
    for (qsizetype left = dense; left > 0;) {
        const qsizetype n = std::min(left, lines.size());
        if (file.write(lines.right(n)) != n) {
            return false;
        }
        left -= n;
    }
    return file.size() == size;
}

QString sizeName(qint64 size) {
    if (size >= (qint64(1) << 30)) {
        return QString::number(size >> 30) + QStringLiteral(" GB");
    }
    if (size >= (qint64(1) << 20)) {
        return QString::number(size >> 20) + QStringLiteral(" MB");
    }
    return QString::number(size >> 10) + QStringLiteral(" KB");
}

} // namespace bench
