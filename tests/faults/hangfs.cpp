// SPDX-License-Identifier: MIT
// A file system for the tests: serves one file, /app.log, with the bytes of a backing file.
// While a file named like the backing file plus ".hang" exists, every request for /app.log
// waits, as on a share that stopped answering; while one with ".slow" exists, each takes more
// than a second, as on a share far away. Usage: hangfs BACKING FUSE-ARGUMENTS...
#define FUSE_USE_VERSION 31

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fuse.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

std::string backing;
int backingFd = -1;

// At most 8 s: a window that does wait on the share then fails its test instead of hanging it.
void waitWhileHung() {
    for (int i = 0; i < 800 && ::access((backing + ".hang").c_str(), F_OK) == 0; ++i) {
        ::usleep(10'000);
    }
    if (::access((backing + ".slow").c_str(), F_OK) == 0) {
        ::usleep(1'200'000);
    }
}

int getAttr(const char* path, struct stat* st, fuse_file_info*) {
    if (std::strcmp(path, "/app.log") != 0) {
        st->st_mode = S_IFDIR | 0755;
        return std::strcmp(path, "/") == 0 ? 0 : -ENOENT;
    }
    waitWhileHung();
    return ::stat(backing.c_str(), st) == 0 ? 0 : -errno;
}

int readFile(const char*, char* buffer, size_t size, off_t offset, fuse_file_info*) {
    waitWhileHung();
    const ssize_t n = ::pread(backingFd, buffer, size, offset);
    return n < 0 ? -errno : static_cast<int>(n);
}

} // namespace

int main(int argc, char* argv[]) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM); // a test that dies takes its mount with it
    if (argc < 3) {
        return 2;
    }
    backing = argv[1];
    backingFd = ::open(argv[1], O_RDONLY);
    argv[1] = argv[0];
    fuse_operations operations{};
    operations.getattr = getAttr;
    operations.read = readFile;
    return fuse_main(argc - 1, argv + 1, &operations, nullptr);
}
