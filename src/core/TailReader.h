// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace logwarden::core {

// The bytes of the read window and where, inside it, the lines to show begin.
struct TailBytes {
    QByteArray window;
    qsizetype start = 0;
    bool cut = false; // the lines to show begin inside one that began before the window
    QByteArrayView shown() const { return QByteArrayView(window).sliced(start); }
};

// Offset in `window` just past the `lineCount`-th line feed counted from its end, or 0 when
// the window holds fewer line feeds.
qsizetype tailOffset(QByteArrayView window, std::int32_t lineCount);

// Reads the window of `bufferKiB` KiB plus one byte at the end of a file of `fileLen` bytes
// and finds its last `lineCount` lines. Throws std::system_error.
TailBytes readTail(const QString& path, std::int64_t fileLen, std::int32_t lineCount,
                   std::int64_t bufferKiB);

// "###,##0" followed by " byte ": 1234567 gives "1,234,567 byte ".
QString formatFileLen(std::int64_t length);

} // namespace logwarden::core
