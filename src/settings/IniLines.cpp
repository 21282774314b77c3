// SPDX-License-Identifier: MIT
#include "settings/IniLines.h"

#include "platform/SystemText.h"

#include <algorithm>

namespace logwarden::settings::modIniFile {

QByteArrayView IniTextFile::nextLine() {
    const QByteArrayView rest = mText.sliced(std::min(mPos, mText.size()));
    const auto* const end =
        std::find_if(rest.begin(), rest.end(), [](char c) { return c == '\r' || c == '\n'; });
    const QByteArrayView line = rest.first(end - rest.begin());
    mPos += line.size();
    if (end != rest.end()) {
        mPos += *end == '\r' && end + 1 != rest.end() && end[1] == '\n' ? 2 : 1;
    }
    return line.size() > MaxLineBytes ? QByteArrayView() : line;
}

QString ReadIniLine(IniTextFile& file) {
    const QByteArrayView line = file.nextLine();
    return line.isEmpty() ? QString() : platform::decodeSystemText(line);
}

} // namespace logwarden::settings::modIniFile
