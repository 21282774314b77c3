// SPDX-License-Identifier: MIT
#include "ChildProcess.h"

#include "Monotonic.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

ChildProcess::ChildProcess(const std::vector<QByteArray>& argv, const QByteArray& errorFile)
    : mErrorFile(errorFile) {
    std::vector<QByteArray> args = argv;
    std::vector<char*> rawArgv;
    for (QByteArray& a : args) {
        rawArgv.push_back(a.data());
    }
    rawArgv.push_back(nullptr);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, rawArgv[0], &actions, &attributes, rawArgv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return;
    }
    mPid = pid;
    mOutput = out[0];
}

ChildProcess::~ChildProcess() {
    if (mPid > 0) {
        ::kill(-mPid, SIGKILL);
        wait();
    }
    if (mOutput >= 0) {
        ::close(mOutput);
    }
}

bool ChildProcess::readOnce() {
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(mOutput, chunk, sizeof chunk);
        if (n > 0) {
            mBuffer.append(chunk, n);
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ::close(mOutput);
        mOutput = -1;
        return false;
    }
}

std::vector<QByteArray> ChildProcess::takeLines() {
    if (mOutput >= 0) {
        readOnce();
    }
    std::vector<QByteArray> lines;
    qsizetype from = 0;
    for (qsizetype lf = mBuffer.indexOf('\n'); lf >= 0; lf = mBuffer.indexOf('\n', from)) {
        lines.push_back(mBuffer.mid(from, lf - from));
        from = lf + 1;
    }
    mBuffer.remove(0, from);
    return lines;
}

bool ChildProcess::readToEnd(std::int64_t deadlineNs) {
    while (mOutput >= 0) {
        const std::int64_t left = deadlineNs - monotonicNs();
        pollfd p{mOutput, POLLIN, 0};
        const int ready = left <= 0 ? 0 : ::poll(&p, 1, static_cast<int>(left / 1'000'000) + 1);
        if (ready == 0) {
            ::kill(-mPid, SIGKILL);
            return false;
        }
        if (ready > 0) {
            readOnce();
        }
    }
    return true;
}

int ChildProcess::wait() {
    int status = 0;
    while (mPid > 0 && ::waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
    }
    mPid = -1;
    return status;
}

QByteArray ChildProcess::errorText() const {
    QFile file(QString::fromLocal8Bit(mErrorFile));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace bench
