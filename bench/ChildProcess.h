// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <cstdint>
#include <sys/types.h>
#include <vector>

namespace bench {

// A program started in a process group of its own, its standard output read through a pipe
// and its standard error kept in a file. The group is killed and reaped with the object.
class ChildProcess {
public:
    // argv[0] is a path; the environment is this process's. Check started().
    ChildProcess(const std::vector<QByteArray>& argv, const QByteArray& errorFile);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return mPid > 0; }
    pid_t pid() const { return mPid; }
    // The read end of its standard output, -1 once that has ended.
    int output() const { return mOutput; }

    // Reads what the pipe holds now (call when it is readable) and returns the lines it
    // completed, without their line feeds.
    std::vector<QByteArray> takeLines();
    // Reads the output to its end; false, with the group killed, past the deadline.
    bool readToEnd(std::int64_t deadlineNs);
    // Everything read so far that no takeLines() returned.
    const QByteArray& unreadOutput() const { return mBuffer; }

    // Waits for it to end and returns its wait status.
    int wait();
    QByteArray errorText() const;

private:
    bool readOnce();

    pid_t mPid = -1;
    int mOutput = -1;
    QByteArray mErrorFile;
    QByteArray mBuffer;
};

} // namespace bench
