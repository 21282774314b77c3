// SPDX-License-Identifier: MIT
#include "core/TailReader.h"

#include "platform/System.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace logwarden::core {
namespace {

const char* lastLineFeed(const char* begin, std::size_t size) {
#if defined(__GLIBC__)
    return static_cast<const char*>(memrchr(begin, '\n', size));
#else
    const auto rend = std::make_reverse_iterator(begin);
    const auto it = std::find(std::make_reverse_iterator(begin + size), rend, '\n');
    return it == rend ? nullptr : std::prev(it.base());
#endif
}

} // namespace

qsizetype tailOffset(QByteArrayView window, std::int32_t lineCount) {
    if (lineCount <= 0) {
        return window.size();
    }
    auto end = static_cast<std::size_t>(window.size());
    for (std::int32_t found = 0; end > 0;) {
        const char* lf = lastLineFeed(window.data(), end);
        if (lf == nullptr) {
            break;
        }
        end = static_cast<std::size_t>(lf - window.data());
        if (++found >= lineCount) {
            return static_cast<qsizetype>(end) + 1;
        }
    }
    return 0;
}

TailBytes readTail(const QString& path, std::int64_t fileLen, std::int32_t lineCount,
                   std::int64_t bufferKiB) {
    // Positions count from 1: the window is S..L, one byte more than the buffer size.
    const std::int64_t start = std::max<std::int64_t>(1, fileLen - bufferKiB * 1024);
    TailBytes tail{platform::readAt(path, start - 1, fileLen - start + 1)};
    tail.start = tailOffset(tail.window, lineCount);
    tail.cut = tail.start == 0 && start > 1;
    tail.beginsFile = start == 1;
    return tail;
}

TailLook lookAtTail(const QString& path, const ComparisonState& seen, std::int32_t lineCount,
                    std::int64_t bufferKiB) {
    const platform::FileStamp stamp = platform::queryFile(path);
    TailLook look{seen, {lineCount, stamp.lastModified, stamp.length, stamp.id}, bufferKiB, {}, {}};
    if (look.now != seen && stamp.length > 0) {
        try {
            look.tail = readTail(path, stamp.length, lineCount, bufferKiB);
        } catch (const std::system_error&) {
            look.readError = std::current_exception();
        }
    }
    return look;
}

QString formatFileLen(std::int64_t length) {
    QString digits = QString::number(length);
    const qsizetype firstDigit = digits.startsWith(u'-') ? 1 : 0;
    for (qsizetype i = digits.size() - 3; i > firstDigit; i -= 3) {
        digits.insert(i, u',');
    }
    return digits + QStringLiteral(" byte ");
}

} // namespace logwarden::core
