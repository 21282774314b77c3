// SPDX-License-Identifier: MIT
#include "files/OpenFileName.h"

#include "platform/SystemText.h"

#include <QDir>
#include <QFileInfo>

namespace logwarden::files {

using platform::decodeFileName;
using platform::encodeFileName;

namespace {

// Writes `text` with its closing NUL at the start of `buffer`; false when it does not fit the
// buffer's declared capacity.
bool writeCString(QByteArray& buffer, std::uint32_t capacity, const QByteArray& text) {
    const qsizetype room = std::min<qsizetype>(buffer.size(), capacity);
    if (text.size() >= room) {
        return false;
    }
    buffer.replace(0, text.size() + 1, QByteArray(text).append('\0'));
    return true;
}

} // namespace

bool completeChoice(OpenFileName& record, const QStringList& files) {
    if (files.isEmpty()) {
        return false;
    }
    const QFileInfo first(files.first());
    QByteArray file = encodeFileName(files.first());
    QByteArray title = encodeFileName(first.fileName());
    if (files.size() > 1) {
        file = encodeFileName(first.path());
        for (const QString& path : files) {
            file += '\0' + encodeFileName(QFileInfo(path).fileName());
        }
        file += '\0'; // the list ends with an empty name
        title.clear();
    }
    QByteArray newFile = record.lpstrFile;
    QByteArray newTitle = record.lpstrFileTitle;
    if (!writeCString(newFile, record.nMaxFile, file) ||
        (!newTitle.isNull() && !writeCString(newTitle, record.nMaxFileTitle, title))) {
        return false;
    }
    record.lpstrFile = newFile;
    record.lpstrFileTitle = newTitle;
    if ((record.Flags & OFN_NOCHANGEDIR) == 0) {
        QDir::setCurrent(first.absolutePath());
    }
    return true;
}

QString bufferText(const QByteArray& buffer) {
    return decodeFileName(buffer.constData());
}

} // namespace logwarden::files
