#pragma once

#include "core/DateTime.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The few file-system queries the window needs. Failures throw std::system_error carrying the
// system's own error code, so that its description can be shown as the system words it.
namespace platform {

struct FileStamp {
    DateTime lastModified;
    std::int64_t length = 0;
};

// Last-modified time and length of a file, links followed, in one query.
FileStamp queryFile(const QString& path);

// An existing regular file (links followed); folders, devices, FIFOs and sockets are not.
bool isRegularFile(const QString& path) noexcept;

// Up to `length` bytes from the 0-based `offset`, in one positioned read of a file opened for
// reading only and closed again. Fewer bytes come back when the file has shrunk meanwhile.
QByteArray readAt(const QString& path, std::int64_t offset, std::int64_t length);

} // namespace platform
