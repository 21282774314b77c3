// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"
#include "platform/System.h"
#include "platform/SystemText.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ; // NOLINT(readability-redundant-declaration): not every header declares it

namespace logwarden::platform {
namespace {

// Windows hands a new process its first show state in its start-up information; POSIX has no
// such field, and the command line is the one watched path, so the parent sets a variable of
// its own in the child's environment.
constexpr const char* StartShowVariable = "LOGWARDEN_START_STATE";
const QByteArray maximizedValue = QByteArrayLiteral("maximized");
const QByteArray normalValue = QByteArrayLiteral("normal");

} // namespace

void startDetachedThread(std::function<void()> work) {
    std::thread(std::move(work)).detach();
}

// The name's own bytes: QUrl::toLocalFile() would make a name that is not UTF-8 another one.
QString localFileOf(const QUrl& url) {
    return decodeFileName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

void writeText(const QString& text, bool toError) {
    std::fputs(encodeSystemText(text).constData(), toError ? stderr : stdout);
    std::fflush(toError ? stderr : stdout);
}

QString argumentText(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << decodeFileName(argv[i]);
    }
    return arguments.join(u' ');
}

std::optional<StartShow> takeStartShow() {
    const QByteArray value = qgetenv(StartShowVariable);
    qunsetenv(StartShowVariable);
    if (value == maximizedValue) {
        return StartShow::Maximized;
    }
    if (value == normalValue) {
        return StartShow::Normal;
    }
    return std::nullopt;
}

void startDetached(const QString& program, const QStringList& arguments, StartShow show) {
    QByteArray entry = QByteArray(StartShowVariable) + '=' +
                       (show == StartShow::Maximized ? maximizedValue : normalValue);
    std::vector<QByteArray> bytes{encodeFileName(program)};
    for (const QString& argument : arguments) {
        bytes.push_back(encodeFileName(argument));
    }
    std::vector<char*> argv;
    argv.reserve(bytes.size() + 1);
    for (QByteArray& argument : bytes) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const QByteArrayView name = QByteArrayView(entry).first(entry.indexOf('=') + 1);
    std::vector<char*> envp;
    for (char** e = environ; *e != nullptr; ++e) {
        if (!QByteArrayView(*e).startsWith(name)) {
            envp.push_back(*e);
        }
    }
    envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::array<int, 2> failure{};
    if (::pipe2(failure.data(), O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category());
    }
    // Two forks, so that the program is nobody's child here and never waits as a zombie. Only
    // async-signal-safe calls after the fork: this process has other threads.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::fork() == 0) {
            ::setsid();
            ::execve(argv[0], argv.data(), envp.data());
            const int error = errno;
            [[maybe_unused]] const ssize_t written = ::write(failure[1], &error, sizeof error);
        }
        ::_exit(0);
    }
    const int forkError = errno;
    ::close(failure[1]);
    int error = 0;
    ssize_t got = -1;
    if (child > 0) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        // The write end closes on a successful exec: nothing comes, and the read ends.
        while ((got = ::read(failure[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
    }
    ::close(failure[0]);
    if (child < 0 || got == sizeof error) {
        throw std::system_error(child < 0 ? forkError : error, std::generic_category());
    }
}

} // namespace logwarden::platform
