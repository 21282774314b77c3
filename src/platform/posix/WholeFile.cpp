// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#include "platform/posix/Descriptor.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
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
constexpr int TemporaryLetters = 6;
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

constexpr std::string_view TemporaryAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";

// A name this program gives its temporary files: the prefix and six letters of its alphabet.
bool isTemporaryName(QByteArrayView name, QByteArrayView prefix) {
    return name.size() == prefix.size() + TemporaryLetters && name.startsWith(prefix) &&
           std::all_of(name.begin() + prefix.size(), name.end(),
                       [](char c) { return TemporaryAlphabet.find(c) != std::string_view::npos; });
}

QByteArrayView firstLine(QByteArrayView bytes) {
    const qsizetype end = bytes.indexOf('\n');
    return end < 0 ? bytes : bytes.first(end + 1);
}

// Only what an earlier save of this file left: named as this program names its temporary files,
// ours, unlocked, old enough, and empty or beginning as this save's text begins. A user's own
// file of a like name stays.
void removeLeftovers(const QByteArray& path, QByteArrayView bytes) {
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
        if (!isTemporaryName(entry->d_name, prefix) || ::lstat(name.constData(), &st) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
            now - st.st_mtime < LeftoverAgeSeconds) {
            continue;
        }
        const Descriptor file(
            ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        const QByteArrayView ours = firstLine(bytes);
        if (file.isOpen() && ::flock(file.fd(), LOCK_EX | LOCK_NB) == 0 &&
            ours.startsWith(readUpTo(file.fd(), ours.size()))) {
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
    // Another copy rewriting it, or loading it, waits: neither sees the other's half.
    if (::flock(file.fd(), LOCK_EX) != 0) {
        return lastError();
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

QByteArray temporaryName(const QByteArray& path) {
    QByteArray temporary = folderOf(path) + '/' + temporaryPrefix(path);
    for (int i = 0; i < TemporaryLetters; ++i) {
        temporary +=
            TemporaryAlphabet[QRandomGenerator::global()->bounded(int(TemporaryAlphabet.size()))];
    }
    return temporary;
}

// The new file's mode and group are the old one's; root saving into someone's folder (sudo)
// leaves a new file to the folder's owner.
void takeOwnership(int fd, const QByteArray& path, const struct stat* old) {
    if (old != nullptr) {
        ::fchmod(fd, old->st_mode & 07777);
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
    } else if (::geteuid() == 0) {
        struct stat folder {};
        if (::stat(folderOf(path).constData(), &folder) == 0 && folder.st_uid != 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd, folder.st_uid, folder.st_gid);
        }
    }
}

// The new text, flushed, in a file at `temporary`, locked against the clean-up of leftovers.
std::error_code fillTemporary(int fd, const QByteArray& path, const struct stat* old,
                              QByteArrayView bytes) {
    ::flock(fd, LOCK_EX);
    takeOwnership(fd, path, old);
    return writeAll(fd, bytes) && ::fsync(fd) == 0 ? std::error_code() : lastError();
}

// Written into a file without a name, which gets one only to be renamed at once: a save that is
// killed leaves nothing behind. None where the file system (or a missing /proc) cannot.
std::optional<std::error_code> writeUnnamed(const QByteArray& path, const struct stat* old,
                                            QByteArrayView bytes, const QByteArray& temporary) {
    const Descriptor file(
        ::open(folderOf(path).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (!file.isOpen()) {
        return std::nullopt;
    }
    if (const std::error_code error = fillTemporary(file.fd(), path, old, bytes)) {
        return error;
    }
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.fd());
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporary.constData(), AT_SYMLINK_FOLLOW) !=
        0) {
        return errno == ENOENT ? std::nullopt : std::optional(lastError());
    }
    return std::error_code();
}

std::error_code writeNamed(const QByteArray& path, const struct stat* old, QByteArrayView bytes,
                           const QByteArray& temporary) {
    const Descriptor file(
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!file.isOpen()) {
        return lastError();
    }
    const std::error_code error = fillTemporary(file.fd(), path, old, bytes);
    if (error) {
        ::unlink(temporary.constData());
    }
    return error;
}

// A new file takes the old one's place in one rename: a reader sees the old or the new text.
std::error_code replaceByRename(const QByteArray& path, const struct stat* old,
                                QByteArrayView bytes) {
    const QByteArray temporary = temporaryName(path);
    const std::optional<std::error_code> unnamed = writeUnnamed(path, old, bytes, temporary);
    std::error_code error = unnamed ? *unnamed : writeNamed(path, old, bytes, temporary);
    if (!error && ::rename(temporary.constData(), path.constData()) != 0) {
        error = lastError();
        ::unlink(temporary.constData());
    }
    return error;
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
    ::flock(file.fd(), LOCK_SH); // not while another copy rewrites it in place
    bool failed = false;
    QByteArray bytes = posix::readFrom(file.fd(), 0, cap, failed);
    if (failed) {
        throw std::system_error(lastError());
    }
    return bytes;
}

// The file a link leads to, when the link and that file are both this user's and it is a
// regular file, as a dotfile manager makes them; empty for any other link.
QByteArray ownLinkTarget(const QByteArray& path) {
    struct stat link {};
    struct stat target {};
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode) ||
        link.st_uid != ::geteuid() || ::stat(path.constData(), &target) != 0 ||
        !S_ISREG(target.st_mode) || target.st_uid != ::geteuid()) {
        return {};
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(path.constData(), nullptr), &std::free);
    return resolved ? QByteArray(resolved.get()) : QByteArray();
}

std::error_code write(const QByteArray& path, QByteArrayView bytes) {
    if (const QByteArray target = ownLinkTarget(path); !target.isEmpty()) {
        return write(target, bytes);
    }
    removeLeftovers(path, bytes);
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

// Bounded wherever the file lives: a link may lead onto a share that stopped answering.
QByteArray readWholeFile(const QString& name, qsizetype cap) {
    const QByteArray path = encodeFileName(name);
    return bounded<QByteArray>(path, [path, cap] { return readRegular(path, cap); });
}

void writeWholeFile(const QString& name, QByteArrayView bytes) {
    const QByteArray path = encodeFileName(name);
    const auto error = bounded<std::error_code>(
        path, [path, copy = bytes.toByteArray()] { return write(path, copy); });
    if (error) {
        throw std::system_error(error);
    }
}

} // namespace logwarden::platform
