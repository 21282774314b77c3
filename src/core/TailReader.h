// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DateTime.h"
#include "platform/System.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <exception>
#include <optional>

namespace logwarden::core {

// The bytes of the read window and where, inside it, the lines to show begin.
struct TailBytes {
    QByteArray window;
    qsizetype start = 0;
    bool cut = false;        // the lines to show begin inside one that began before the window
    bool beginsFile = false; // the window is the file from its first byte
    QByteArrayView shown() const { return QByteArrayView(window).sliced(start); }
    // The window's whole lines, where it holds more than those shown; else the lines shown.
    QByteArrayView wholeLines() const {
        return start == 0 || beginsFile ? QByteArrayView(window)
                                        : QByteArrayView(window).sliced(window.indexOf('\n') + 1);
    }
};

// Offset in `window` just past the `lineCount`-th line feed counted from its end, or 0 when
// the window holds fewer line feeds.
qsizetype tailOffset(QByteArrayView window, std::int32_t lineCount);

// Reads the window of `bufferKiB` KiB plus one byte at the end of a file of `fileLen` bytes
// and finds its last `lineCount` lines. Throws std::system_error.
TailBytes readTail(const QString& path, std::int64_t fileLen, std::int32_t lineCount,
                   std::int64_t bufferKiB);

// What a read is made for: the line count, time stamp and length of the file (and which file
// it was) when the shown text was read. None after a file was chosen, so that the choice
// always reads it.
struct ComparisonState {
    std::int32_t lineCount = 0;
    platform::DateTime lastModified;
    std::int64_t length = 0;
    std::optional<platform::FileId> id;
    friend bool operator==(const ComparisonState&, const ComparisonState&) = default;
};

// One look at the watched file: its state now and, when that differs from the state `seen`
// and the file is not empty, its tail. A read that failed after the state was taken is kept as
// its error, so that the state still counts. Throws std::system_error when the state cannot be
// taken.
struct TailLook {
    ComparisonState seen;
    ComparisonState now;
    std::int64_t bufferKiB = 0;
    TailBytes tail;
    std::exception_ptr readError;
};
TailLook lookAtTail(const QString& path, const ComparisonState& seen, std::int32_t lineCount,
                    std::int64_t bufferKiB);

// "###,##0" followed by " byte ": 1234567 gives "1,234,567 byte ".
QString formatFileLen(std::int64_t length);

} // namespace logwarden::core
