// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <algorithm>
#include <cstdint>

// The tail as a plain byte-by-byte scan, the slow way round: the window is positions
// S..L of the file, counting from 1, with S = L - buffer (at least 1); the tail follows the
// `lineCount`-th line feed from the end, or is the whole window when it has fewer. `length`
// may be stale: the file may hold more or fewer bytes by now.
inline QByteArray bytewiseTail(const QByteArray& file, std::int64_t length, std::int64_t lineCount,
                               std::int64_t bufferKiB) {
    const std::int64_t start = std::max<std::int64_t>(1, length - bufferKiB * 1024);
    const QByteArray window = file.mid(start - 1, std::max<std::int64_t>(0, length - start + 1));
    std::int64_t count = 0;
    for (qsizetype i = window.size(); i >= 1; --i) {
        count += window[i - 1] == '\n' ? 1 : 0;
        if (count >= lineCount) {
            return window.sliced(i);
        }
    }
    return window;
}
