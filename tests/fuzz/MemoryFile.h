// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

// A file that lives in memory but is opened by name, like any other, through /proc/self/fd.
// Rewriting it for every input costs no disk.
class MemoryFile {
public:
    MemoryFile() : mFd(::memfd_create("logwarden-fuzz", MFD_CLOEXEC)) {
        if (mFd < 0) {
            std::abort();
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    MemoryFile(MemoryFile&&) = delete;
    MemoryFile& operator=(MemoryFile&&) = delete;
    ~MemoryFile() { ::close(mFd); }

    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(mFd); }

    void assign(const QByteArray& bytes) {
        if (::ftruncate(mFd, 0) != 0 ||
            ::pwrite(mFd, bytes.constData(), std::size_t(bytes.size()), 0) != bytes.size()) {
            std::abort();
        }
    }

private:
    int mFd;
};
