// SPDX-License-Identifier: MIT
#pragma once

#include "platform/BoundedCall.h"
#include "platform/DateTime.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The few file-system queries the window needs. Failures throw std::system_error carrying the
// system's own error code, so that its description can be shown as the system words it. On a
// file system that can hang (network, FUSE, any not known to be local) a query that takes
// longer than two seconds throws FileSystemStalled instead, and so does every later one for
// the same path until it returns.
namespace platform {

// Which file a path leads to: a file renamed over the watched one has another identity even
// when its length and time stamp (to the file system's tick) are the same. Zero where unknown.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct FileStamp {
    DateTime lastModified;
    std::int64_t length = 0;
    FileId id;
};

// Last-modified time, length and identity of a file, links followed, in one query. A folder
// throws EISDIR; a FIFO, device or socket has no bytes to show and gives length 0.
FileStamp queryFile(const QString& path);

// An existing regular file (links followed); folders, devices, FIFOs and sockets are not, nor
// is a file whose file system does not answer.
bool isRegularFile(const QString& path) noexcept;

// Up to `length` bytes from the 0-based `offset`, in one positioned read of a file opened for
// reading only and closed again. Fewer bytes come back when the file has shrunk meanwhile, and
// none when the path no longer leads to a regular file (the open never waits on a FIFO).
QByteArray readAt(const QString& path, std::int64_t offset, std::int64_t length);

} // namespace platform
