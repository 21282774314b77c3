// SPDX-License-Identifier: MIT
#include "settings/IniLines.h"

#include "platform/SystemText.h"

#include <QIODevice>
#include <algorithm>

namespace modIniFile {
namespace {

constexpr qint64 BlockBytes = qint64{64} * 1024;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

bool IniTextFile::fill() {
    // A settings file is small: a block of what is left costs less than a block of 64 KiB.
    mBlock = mDevice.read(std::clamp(mDevice.bytesAvailable(), qint64{1}, BlockBytes));
    mPos = 0;
    return !mBlock.isEmpty();
}

bool IniTextFile::atEnd() {
    return mPos == mBlock.size() && !fill();
}

QByteArray IniTextFile::nextLine() {
    QByteArray line;
    bool overlong = false;
    while (!atEnd()) {
        const auto* const from = mBlock.cbegin() + mPos;
        const auto* const stop = std::find_if(from, mBlock.cend(), isLineEnd);
        const qsizetype length = stop - from;
        overlong = overlong || line.size() + length > MaxLineBytes;
        if (!overlong) {
            line.append(from, length);
        }
        mPos += length;
        if (stop != mBlock.cend()) {
            const char end = mBlock.at(mPos++);
            if (end == '\r' && !atEnd() && mBlock.at(mPos) == '\n') {
                ++mPos;
            }
            break;
        }
    }
    return overlong ? QByteArray() : line;
}

QString ReadIniLine(IniTextFile& file) {
    const QByteArray line = file.nextLine();
    return line.isEmpty() ? QString() : decodeSystemText(line);
}

} // namespace modIniFile
