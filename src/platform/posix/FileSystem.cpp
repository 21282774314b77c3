// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#include "platform/posix/Descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#if defined(__linux__)
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace logwarden::platform {
namespace {

[[noreturn]] void throwErrno() {
    throw std::system_error(errno, std::generic_category());
}

// Non-blocking, so that a FIFO put in the file's place since it was queried cannot hold the
// open until a writer comes.
int openForReading(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throwErrno();
    }
    return fd;
}

// A folder is an error; other non-regular files are read as empty.
std::int64_t readableLength(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        throw std::system_error(EISDIR, std::generic_category());
    }
    return S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
}

FileStamp stampOf(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        throwErrno();
    }
    return {DateTime{st.st_mtim.tv_sec, static_cast<std::int32_t>(st.st_mtim.tv_nsec)},
            readableLength(st),
            FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}};
}

bool isRegular(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QByteArray bytesAt(const QByteArray& path, std::int64_t offset, std::int64_t length) {
    const posix::Descriptor file(openForReading(path));
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) {
        throwErrno();
    }
    if (readableLength(st) == 0 || offset < 0 || length <= 0) {
        return {};
    }
    bool failed = false;
    // Fewer bytes come when the file shrank since its length was taken.
    QByteArray bytes = posix::readFrom(file.fd(), offset, static_cast<qsizetype>(length), failed);
    if (failed) {
        throwErrno();
    }
    return bytes;
}

} // namespace

// Local disks and memory answer or fail promptly; anything else (network shares, FUSE, types
// not listed) may hang.
std::optional<bool> isOnLocalFileSystem(const QByteArray& path) {
#if defined(__linux__)
    struct statfs fs {};
    if (::statfs(path.constData(), &fs) != 0) {
        return std::nullopt;
    }
    switch (fs.f_type) {
    case EXT4_SUPER_MAGIC: // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
    case SQUASHFS_MAGIC:
    case EROFS_SUPER_MAGIC_V1:
    case ISOFS_SUPER_MAGIC:
    case UDF_SUPER_MAGIC:
    case MSDOS_SUPER_MAGIC:
    case EXFAT_SUPER_MAGIC:
    case NILFS_SUPER_MAGIC:
    case REISERFS_SUPER_MAGIC:
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case 0x3153464a: // JFS
    case 0x2fc12fc1: // ZFS
    case 0x5346544e: // NTFS
    case 0x7366746e: // NTFS (ntfs3)
    case 0xca451a4e: // bcachefs
        return true;
    default:
        return false;
    }
#else
    (void)path;
    return false;
#endif
}

FileStamp queryFile(const QString& path) {
    return stampOf(encodeFileName(path));
}

bool isRegularFile(const QString& path) noexcept {
    if (path.isEmpty()) {
        return false;
    }
    try {
        const QByteArray native = encodeFileName(path);
        return boundedUnlessLocal<bool>(native, [native] { return isRegular(native); });
    } catch (const std::exception&) {
        return false;
    }
}

QByteArray readAt(const QString& path, std::int64_t offset, std::int64_t length) {
    return bytesAt(encodeFileName(path), offset, length);
}

} // namespace logwarden::platform
