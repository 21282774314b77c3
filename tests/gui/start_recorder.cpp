// SPDX-License-Identifier: MIT
// Stands in for the program in new-window tests: records how it was started in
// "started.txt" in its working directory: the directory, the first-show-state variable, then
// each argument, every item NUL-ended.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char* argv[]) {
    std::string record;
    char cwd[4096];
    record += getcwd(cwd, sizeof cwd) ? cwd : "?";
    record += '\0';
    const char* state = std::getenv("LOGWARDEN_START_STATE");
    record += state ? state : "(unset)";
    record += '\0';
    for (int i = 1; i < argc; ++i) {
        record += argv[i];
        record += '\0';
    }
    std::FILE* out = std::fopen("started.tmp", "wb");
    if (!out || std::fwrite(record.data(), 1, record.size(), out) != record.size() ||
        std::fclose(out) != 0) {
        return 1;
    }
    return std::rename("started.tmp", "started.txt") == 0 ? 0 : 1;
}
