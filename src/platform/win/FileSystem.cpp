#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <system_error>

// Windows: Qt's file classes stand in for the POSIX calls. Hidden and system files count as
// missing there, as a directory search for ordinary files would have it.
namespace platform {
namespace {

[[noreturn]] void throwFileError(const QFileDevice& file) {
    const int code = file.error() == QFileDevice::PermissionsError ? EACCES : ENOENT;
    throw std::system_error(code, std::generic_category());
}

} // namespace

FileStamp queryFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        throw std::system_error(ENOENT, std::generic_category());
    }
    if (info.isDir()) {
        throw std::system_error(EISDIR, std::generic_category());
    }
    const auto ms = std::chrono::milliseconds{info.lastModified().toMSecsSinceEpoch()};
    return {DateTime{ms}, info.size(), FileId{}}; // no identity through Qt here
}

bool isRegularFile(const QString& path) noexcept {
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && !info.isHidden();
}

QByteArray readAt(const QString& path, std::int64_t offset, std::int64_t length) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset)) {
        throwFileError(file);
    }
    QByteArray bytes = file.read(length);
    if (file.error() != QFileDevice::NoError) {
        throwFileError(file);
    }
    return bytes;
}

} // namespace platform
