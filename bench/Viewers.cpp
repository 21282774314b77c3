// SPDX-License-Identifier: MIT
#include "Viewers.h"

#include "Monotonic.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace bench {
namespace {

constexpr QSize windowSize(800, 600);
constexpr std::uint32_t controlKey = 0xffe3; // Control_L
constexpr std::uint32_t sKey = 0x73;

void waitMs(int ms) {
    ::usleep(static_cast<useconds_t>(ms) * 1000);
}

// Polls `done` every 20 ms for up to `seconds`.
template <class Done> bool waitUntil(double seconds, Done done) {
    const std::int64_t end = monotonicNs() + std::int64_t(seconds * 1e9);
    while (!done()) {
        if (monotonicNs() > end) {
            return false;
        }
        waitMs(20);
    }
    return true;
}

std::vector<QByteArray> commandOf(ViewerKind kind, const QString& log) {
    const QByteArray file = QFile::encodeName(log);
    switch (kind) {
    case ViewerKind::Logwarden:
        return {logwardenProgram(), file};
    case ViewerKind::Terminal:
        // The fixed font's 6 x 13 cells make about 800 x 600; the hidden cursor leaves the
        // newest line the lowest ink on screen.
        return {"/usr/bin/xterm",
                "-geometry",
                "132x45",
                "-fn",
                "fixed",
                "-bg",
                "#c0ffff",
                "-fg",
                "black",
                "+sb",
                "-e",
                "/bin/sh",
                "-c",
                R"(printf '\033[?25l'; exec tail -F -n 100 "$0")",
                file};
    case ViewerKind::MinimalQt:
        return {LOGWARDEN_FOLLOWING_VIEWER, file};
    case ViewerKind::BareX:
        return {LOGWARDEN_LIMIT_VIEWER, file};
    }
    return {};
}

std::vector<std::int64_t> statFields(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return {};
    }
    // The name in parentheses may hold blanks: fields are counted after its closing one.
    const QByteArray text = stat.readAll();
    std::vector<std::int64_t> fields;
    for (const QByteArray& field : text.mid(text.lastIndexOf(')') + 2).split(' ')) {
        fields.push_back(field.toLongLong());
    }
    return fields;
}

QByteArray& program() {
    static QByteArray path = LOGWARDEN_PROGRAM;
    return path;
}

} // namespace

void useLogwarden(const QByteArray& path) {
    program() = path;
}

const QByteArray& logwardenProgram() {
    return program();
}

const char* viewerName(ViewerKind kind) {
    switch (kind) {
    case ViewerKind::Logwarden:
        return "Logwarden";
    case ViewerKind::Terminal:
        return "tail -F in xterm";
    case ViewerKind::MinimalQt:
        return "minimal Qt viewer";
    case ViewerKind::BareX:
        return "bare X client (the limit)";
    }
    return "";
}

const char* columnName(ViewerKind kind) {
    switch (kind) {
    case ViewerKind::Logwarden:
        return "Logwarden";
    case ViewerKind::Terminal:
        return "tail -F";
    case ViewerKind::MinimalQt:
        return "minimal Qt";
    case ViewerKind::BareX:
        return "bare X";
    }
    return "";
}

void writeLogwardenSettings() {
    QFile ini(QStringLiteral("Logwarden.ini"));
    const QByteArray text = "[TYPE VALUE RETURNCODE]\r\n2\r\n\r\n"   // LF
                            "[SIZE VALUE LINECOUNT]\r\n2\r\n\r\n"    // 20 lines
                            "[COLOR VALUE BACKGROUND]\r\n3\r\n\r\n"; // 192, 255, 255
    if (!ini.open(QIODevice::WriteOnly) || ini.write(text) != text.size()) {
        throw std::runtime_error("cannot write Logwarden.ini");
    }
}

Viewer::Viewer(ViewerKind kind, XDisplay& display, const QString& log, const QString& errorFile)
    : mKind(kind),
      mProcess(std::make_unique<ChildProcess>(commandOf(kind, log), QFile::encodeName(errorFile))) {
    if (!mProcess->started()) {
        throw std::runtime_error(std::string("cannot start ") + viewerName(kind));
    }
    waitForWindow(display);
    if (kind == ViewerKind::Logwarden) {
        startMonitoring(display);
    }
}

void Viewer::waitForWindow(XDisplay& display) {
    if (!waitUntil(30, [&] { return (mWindow = display.windowOf(pid())) != 0; })) {
        throw std::runtime_error(std::string(viewerName(mKind)) + " showed no window");
    }
    // The window manager may still be placing the window and undo an early resize: the size
    // must hold for a while.
    const auto keeps = [&] {
        if (display.size(mWindow) != windowSize) {
            display.resize(mWindow, windowSize);
            return false;
        }
        waitMs(300);
        return display.size(mWindow) == windowSize;
    };
    if (mKind == ViewerKind::Logwarden && !waitUntil(20, keeps)) {
        throw std::runtime_error("Logwarden's window would not stay 800 x 600");
    }
}

void Viewer::startMonitoring(XDisplay& display) const {
    const QByteArray monitoring = QStringLiteral("監視中").toUtf8();
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!waitUntil(10, [&] { return display.activate(mWindow); })) {
            throw std::runtime_error("Logwarden's window never became active");
        }
        waitMs(100); // the toolkit hears of its focus after the window manager said so
        display.typeChord({controlKey, sKey});
        if (waitUntil(2, [&] { return display.title(mWindow).contains(monitoring); })) {
            return;
        }
    }
    throw std::runtime_error("Ctrl+S did not start monitoring in Logwarden");
}

std::vector<pid_t> Viewer::processes() const {
    std::vector<pid_t> family{pid()};
    for (std::size_t grown = 0; grown != family.size();) {
        grown = family.size();
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString& entry : entries) {
            bool number = false;
            const pid_t candidate = entry.toInt(&number);
            const std::vector<std::int64_t> fields =
                number ? statFields(candidate) : std::vector<std::int64_t>{};
            if (fields.size() > 1 &&
                std::count(family.begin(), family.end(), pid_t(fields[1])) > 0 &&
                std::count(family.begin(), family.end(), candidate) == 0) {
                family.push_back(candidate);
            }
        }
    }
    return family;
}

std::int64_t cpuTicks(const std::vector<pid_t>& pids) {
    std::int64_t ticks = 0;
    for (const pid_t pid : pids) {
        const std::vector<std::int64_t> fields = statFields(pid);
        if (fields.size() < 13) {
            throw std::runtime_error("cannot read /proc/" + std::to_string(pid) + "/stat");
        }
        ticks += fields[11] + fields[12]; // utime, stime
    }
    return ticks;
}

std::pair<std::int64_t, std::int64_t> memoryKiB(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read /proc/" + std::to_string(pid) + "/status");
    }
    std::int64_t peak = -1;
    std::int64_t resident = -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() >= 2 && words[0] == "VmHWM:") {
            peak = words[1].toLongLong();
        } else if (words.size() >= 2 && words[0] == "VmRSS:") {
            resident = words[1].toLongLong();
        }
    }
    if (peak < 0 || resident < 0) {
        throw std::runtime_error("no VmHWM or VmRSS for process " + std::to_string(pid));
    }
    return {peak, resident};
}

int runOnDisplay(const char* what, const std::function<bool(const QString& folder)>& figures) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "needs an X display: run it through scripts/bench or xvfb-run\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path())) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    try {
        return figures(work.path()) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "\nFAILED TO RUN %s: %s\n", what, error.what());
        return 1;
    }
}

} // namespace bench
