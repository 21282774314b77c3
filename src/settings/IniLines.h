// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace logwarden::settings::modIniFile {

// The settings text, taken line by line. CR LF, LF and a lone CR each end a line.
class IniTextFile {
public:
    // The longest path the system opens (PATH_MAX less its NUL); no setting is longer, so a
    // longer line is junk and reads as an empty line.
    static constexpr qsizetype MaxLineBytes = 4095;

    explicit IniTextFile(QByteArrayView text) : mText(text) {}

    bool atEnd() const { return mPos >= mText.size(); }
    // The next line without its line end; empty at the end.
    QByteArrayView nextLine();

private:
    QByteArrayView mText;
    qsizetype mPos = 0;
};

// The next line as text of the system code page; the empty string at the end of the file.
QString ReadIniLine(IniTextFile& file);

} // namespace logwarden::settings::modIniFile
