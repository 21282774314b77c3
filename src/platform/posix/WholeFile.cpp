// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#include "platform/posix/Descriptor.h"

#include <QRandomGenerator>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace logwarden::platform {
namespace {

// A save in progress holds a lock on its temporary file; one that is unlocked and this old
// was left by a save that never finished.
constexpr std::time_t LeftoverAgeSeconds = 10;
constexpr qsizetype RestorableBytes = qsizetype{1} << 20;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

bool isDenied(std::error_code error) {
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
           error == std::errc::read_only_file_system;
}

using posix::Descriptor;

bool writeAll(int fd, QByteArrayView bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done), done);
        if (n < 0 && errno != EINTR) {
            return false;
        }
        done += n > 0 ? n : 0;
    }
    return true;
}

QByteArray readUpTo(int fd, qsizetype cap) {
    bool failed = false;
    return posix::readFrom(fd, 0, cap, failed);
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : path.first(std::max<qsizetype>(slash, 1));
}

QByteArray temporaryPrefix(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1) + ".tmp.";
}

void removeLeftovers(const QByteArray& path) {
    const QByteArray folder = folderOf(path);
    const QByteArray prefix = temporaryPrefix(path);
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name = folder + '/' + entry->d_name;
        struct stat st {};
        if (!QByteArrayView(entry->d_name).startsWith(prefix) ||
            ::lstat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
            now - st.st_mtime < LeftoverAgeSeconds) {
            continue;
        }
        const Descriptor file(
            ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (file.isOpen() && ::flock(file.fd(), LOCK_EX | LOCK_NB) == 0) {
            ::unlink(name.constData());
        }
    }
    ::closedir(dir);
}

// Keeps the inode: its other links, its owner and its mode stay. Put back as it was when the
// new text cannot be written whole.
std::error_code rewriteInPlace(const QByteArray& path, const struct stat& seen,
                               QByteArrayView bytes) {
    const Descriptor file(
        ::open(path.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!file.isOpen() || ::fstat(file.fd(), &st) != 0) {
        return lastError();
    }
    if (!S_ISREG(st.st_mode) || st.st_ino != seen.st_ino || st.st_dev != seen.st_dev) {
        return std::make_error_code(std::errc::resource_unavailable_try_again);
    }
    const QByteArray old =
        st.st_size <= RestorableBytes ? readUpTo(file.fd(), st.st_size) : QByteArray();
    if (writeAll(file.fd(), bytes) && ::ftruncate(file.fd(), bytes.size()) == 0 &&
        ::fsync(file.fd()) == 0) {
        return {};
    }
    const std::error_code error = lastError();
    if (st.st_size <= RestorableBytes && writeAll(file.fd(), old)) {
        ::ftruncate(file.fd(), old.size());
    }
    return error;
}

// A new file takes the old one's place in one rename: a reader sees the old or the new text.
std::error_code replaceByRename(const QByteArray& path, const struct stat* old,
                                QByteArrayView bytes) {
    static constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray temporary = folderOf(path) + '/' + temporaryPrefix(path);
    for (int i = 0; i < 6; ++i) {
        temporary += letters[QRandomGenerator::global()->bounded(int(letters.size()))];
    }
    const Descriptor file(
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!file.isOpen()) {
        return lastError();
    }
    ::flock(file.fd(), LOCK_EX);
    if (old != nullptr) {
        ::fchmod(file.fd(), old->st_mode & 07777);
        [[maybe_unused]] const int ignored =
            ::fchown(file.fd(), static_cast<uid_t>(-1), old->st_gid);
    } else if (::geteuid() == 0) {
        // Root saving into someone's folder (sudo) leaves the file to the folder's owner.
        struct stat folder {};
        if (::stat(folderOf(path).constData(), &folder) == 0 && folder.st_uid != 0) {
            [[maybe_unused]] const int ignored = ::fchown(file.fd(), folder.st_uid, folder.st_gid);
        }
    }
    if (!writeAll(file.fd(), bytes) || ::fsync(file.fd()) != 0 ||
        ::rename(temporary.constData(), path.constData()) != 0) {
        const std::error_code error = lastError();
        ::unlink(temporary.constData());
        return error;
    }
    return {};
}

// Nothing for a file that is not there or is no regular file; an error for one that cannot be
// read.
QByteArray readRegular(const QByteArray& path, qsizetype cap) {
    const Descriptor file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!file.isOpen() && errno == ENOENT) {
        return {};
    }
    if (!file.isOpen() || ::fstat(file.fd(), &st) != 0) {
        throw std::system_error(lastError());
    }
    if (!S_ISREG(st.st_mode)) {
        return {};
    }
    bool failed = false;
    QByteArray bytes = posix::readFrom(file.fd(), 0, cap, failed);
    if (failed) {
        throw std::system_error(lastError());
    }
    return bytes;
}

std::error_code write(const QByteArray& path, QByteArrayView bytes) {
    removeLeftovers(path);
    struct stat st {};
    const bool regular = ::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
    const bool keepInode = regular && (st.st_nlink > 1 || st.st_uid != ::geteuid());
    if (keepInode) {
        const std::error_code error = rewriteInPlace(path, st, bytes);
        if (!isDenied(error) || ::access(path.constData(), R_OK) != 0) {
            return error; // an unreadable file holds settings this process never saw
        }
        // Another user's file that we may read but not write: one of our own takes its place.
    }
    std::error_code error = replaceByRename(path, regular ? &st : nullptr, bytes);
    if (regular && !keepInode && isDenied(error)) {
        // The folder cannot be written, the file itself perhaps can.
        error = rewriteInPlace(path, st, bytes);
    }
    return error;
}

} // namespace

// The folder decides where the file lives, also before the file exists.
QByteArray readWholeFile(const QString& name, qsizetype cap) {
    const QByteArray path = encodeFileName(name);
    return boundedUnlessLocal<QByteArray>(folderOf(path),
                                          [path, cap] { return readRegular(path, cap); });
}

void writeWholeFile(const QString& name, QByteArrayView bytes) {
    const QByteArray path = encodeFileName(name);
    const std::error_code error = boundedUnlessLocal<std::error_code>(
        folderOf(path), [path, copy = bytes.toByteArray()] { return write(path, copy); });
    if (error) {
        throw std::system_error(error);
    }
}

} // namespace logwarden::platform
