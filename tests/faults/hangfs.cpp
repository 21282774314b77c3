// SPDX-License-Identifier: MIT
// A file system for the tests: serves one file, /app.log, with the bytes of a backing file.
// While a file named like the backing file plus ".hang" exists, every request for /app.log
// waits, as on a share that stopped answering. Usage: hangfs BACKING MOUNTPOINT
#define FUSE_USE_VERSION 31

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fuse.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

std::string backing;
std::string hangMark;

bool served(const char* path) {
    return std::strcmp(path, "/app.log") == 0;
}

// At most 8 s: a window that does wait on the share then fails its test instead of hanging it.
void waitWhileHung() {
    for (int i = 0; i < 800 && ::access(hangMark.c_str(), F_OK) == 0; ++i) {
        ::usleep(10'000);
    }
}

int getAttr(const char* path, struct stat* st, fuse_file_info*) {
    if (std::strcmp(path, "/") == 0) {
        st->st_mode = S_IFDIR | 0755;
        st->st_nlink = 2;
        return 0;
    }
    if (!served(path)) {
        return -ENOENT;
    }
    waitWhileHung();
    return ::stat(backing.c_str(), st) == 0 ? 0 : -errno;
}

int openFile(const char* path, fuse_file_info* file) {
    if (!served(path)) {
        return -ENOENT;
    }
    waitWhileHung();
    return (file->flags & O_ACCMODE) == O_RDONLY ? 0 : -EROFS;
}

int readFile(const char*, char* buffer, size_t size, off_t offset, fuse_file_info*) {
    waitWhileHung();
    const int fd = ::open(backing.c_str(), O_RDONLY);
    if (fd < 0) {
        return -errno;
    }
    const ssize_t n = ::pread(fd, buffer, size, offset);
    const int error = errno;
    ::close(fd);
    return n < 0 ? -error : static_cast<int>(n);
}

void* init(fuse_conn_info*, fuse_config* config) {
    // Every stat and read reaches this program: the kernel keeps no answer.
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    config->attr_timeout = 0;
    config->direct_io = 1;
    return nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BACKING MOUNTPOINT\n", argv[0]);
        return 2;
    }
    ::prctl(PR_SET_PDEATHSIG, SIGTERM); // a test that dies takes its mount with it
    backing = argv[1];
    hangMark = backing + ".hang";
    fuse_operations operations{};
    operations.getattr = getAttr;
    operations.open = openFile;
    operations.read = readFile;
    operations.init = init;
    char foreground[] = "-f";
    char* args[] = {argv[0], foreground, argv[2]};
    return fuse_main(3, args, &operations, nullptr);
}
