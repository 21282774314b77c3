// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace modIniFile {

// The open settings file, taken line by line. CR LF, LF and a lone CR each end a line. It is
// read in blocks, so a huge or binary file costs one block and one line of memory at most.
class IniTextFile {
public:
    // No setting is this long; a longer line is junk and reads as an empty line.
    static constexpr qsizetype MaxLineBytes = qsizetype{32} * 1024;

    explicit IniTextFile(QIODevice& device) : mDevice(device) {}

    // True when no byte is left, or the device cannot be read any further.
    bool atEnd();
    // The next line without its line end; empty at the end.
    QByteArray nextLine();

private:
    bool fill();

    QIODevice& mDevice;
    QByteArray mBlock;
    qsizetype mPos = 0;
};

// The next line as text of the system code page; the empty string at the end of the file.
QString ReadIniLine(IniTextFile& file);

} // namespace modIniFile
