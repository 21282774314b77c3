// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <cerrno>
#include <cstdint>
#include <unistd.h>

namespace logwarden::platform::posix {

// An open file descriptor, closed on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : mFd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&&) = delete;
    Descriptor& operator=(Descriptor&&) = delete;
    ~Descriptor() {
        if (mFd >= 0) {
            ::close(mFd);
        }
    }
    int fd() const { return mFd; }
    bool isOpen() const { return mFd >= 0; }

private:
    int mFd;
};

// Up to `length` bytes from `offset`, in as many positioned reads as it takes; fewer at the end
// of the file. Sets `failed` (and errno) when a read fails, and gives what came before it.
inline QByteArray readFrom(int fd, std::int64_t offset, qsizetype length, bool& failed) {
    QByteArray bytes(length, Qt::Uninitialized);
    qsizetype got = 0;
    failed = false;
    while (got < length) {
        const ssize_t n =
            ::pread(fd, bytes.data() + got, static_cast<size_t>(length - got), offset + got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        failed = n < 0;
        if (n <= 0) {
            break;
        }
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

} // namespace logwarden::platform::posix
