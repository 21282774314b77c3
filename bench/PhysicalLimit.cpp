// SPDX-License-Identifier: MIT
#include "PhysicalLimit.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {

QString limitRefresh(const char* path, std::int32_t lineCount, std::int64_t bufferKiB,
                     char* buffer) {
    struct stat st {};
    if (::stat(path, &st) != 0) {
        throw std::runtime_error("stat failed");
    }
    const std::int64_t window = std::min<std::int64_t>(st.st_size, bufferKiB * 1024 + 1);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("open failed");
    }
    const ssize_t got = ::pread(fd, buffer, static_cast<std::size_t>(window), st.st_size - window);
    ::close(fd);
    if (got != window) {
        throw std::runtime_error("short read");
    }
    std::size_t end = static_cast<std::size_t>(got);
    std::size_t start = 0;
    for (std::int32_t found = 0; end > 0;) {
        const auto* lf = static_cast<const char*>(memrchr(buffer, '\n', end));
        if (lf == nullptr) {
            break;
        }
        end = static_cast<std::size_t>(lf - buffer);
        if (++found == lineCount) {
            start = end + 1;
            break;
        }
    }
    return QString::fromUtf8(buffer + start, got - static_cast<ssize_t>(start));
}

std::int64_t limitPoll(const char* path) {
    struct stat st {};
    if (::stat(path, &st) != 0) {
        throw std::runtime_error("stat failed");
    }
    return st.st_size;
}

} // namespace bench
