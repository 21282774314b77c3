// SPDX-License-Identifier: MIT
#include "platform/FileSystem.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

[[noreturn]] void throwErrno() {
    throw std::system_error(errno, std::generic_category());
}

// Closes the descriptor on every way out, errors included. Non-blocking, so that a FIFO put
// in the file's place since it was queried cannot hold the open until a writer comes.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path)
        : mFd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        if (mFd < 0) {
            throwErrno();
        }
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ReadOnlyFile(ReadOnlyFile&&) = delete;
    ReadOnlyFile& operator=(ReadOnlyFile&&) = delete;
    ~ReadOnlyFile() { ::close(mFd); }
    int fd() const { return mFd; }

private:
    int mFd;
};

// A folder is an error; other non-regular files are read as empty.
std::int64_t readableLength(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        throw std::system_error(EISDIR, std::generic_category());
    }
    return S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
}

} // namespace

FileStamp queryFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        throwErrno();
    }
    return {DateTime{st.st_mtim.tv_sec, static_cast<std::int32_t>(st.st_mtim.tv_nsec)},
            readableLength(st),
            FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}};
}

bool isRegularFile(const QString& path) noexcept {
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

QByteArray readAt(const QString& path, std::int64_t offset, std::int64_t length) {
    ReadOnlyFile file(path);
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) {
        throwErrno();
    }
    if (readableLength(st) == 0 || offset < 0 || length <= 0) {
        return {};
    }
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(file.fd(), bytes.data() + got,
                                  static_cast<size_t>(bytes.size() - got), offset + got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throwErrno();
        }
        if (n == 0) {
            break; // the file shrank since its length was taken
        }
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

} // namespace platform
