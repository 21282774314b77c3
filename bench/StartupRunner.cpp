// SPDX-License-Identifier: MIT
// Start to first paint and peak memory: Logwarden on a small and a huge file, beside a minimal
// Qt window, each started in turn under /usr/bin/time -v.
// --smoke: one round; --rounds N.
#include "LogFixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Case {
    std::string name;
    QString program;
    QStringList arguments;
    std::vector<double> firstPaintMs;
    std::vector<double> peakRssMiB;
};

struct Measure {
    double firstPaintMs;
    double peakRssMiB;
};

std::int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The child's whole output, or nothing when it stays silent past the deadline.
std::optional<QByteArray> readAll(int fd, pid_t group) {
    QByteArray output;
    const std::int64_t deadline = monotonicNs() + 60'000'000'000LL;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int wait = static_cast<int>((deadline - monotonicNs()) / 1'000'000);
        if (wait <= 0 || ::poll(&p, 1, wait) == 0) {
            ::kill(-group, SIGKILL);
            return std::nullopt;
        }
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return output;
        }
        output.append(buffer, n);
    }
}

std::optional<Measure> runOnce(const Case& c, const QString& work) {
    const QByteArray timeFile = QFile::encodeName(work + "/time.txt");
    const QByteArray logFile = QFile::encodeName(work + "/stderr.txt");
    std::vector<QByteArray> argv{"/usr/bin/time", "-v", "-o", timeFile,
                                 QFile::encodeName(c.program)};
    for (const QString& argument : c.arguments) {
        argv.push_back(QFile::encodeName(argument));
    }
    std::vector<char*> rawArgv;
    for (QByteArray& a : argv) {
        rawArgv.push_back(a.data());
    }
    rawArgv.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logFile.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t pid = 0;
    const std::int64_t start = monotonicNs();
    const int spawned =
        posix_spawn(&pid, rawArgv[0], &actions, &attributes, rawArgv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return std::nullopt;
    }
    const std::optional<QByteArray> output = readAll(out[0], pid);
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);

    QFile log(QString::fromLocal8Bit(logFile));
    const auto fail = [&](const char* why) -> std::optional<Measure> {
        std::fprintf(stderr, "\n%s: %s\n", c.name.c_str(), why);
        if (log.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s\n", log.readAll().constData());
        }
        return std::nullopt;
    };
    if (!output || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return fail("did not run to its end");
    }
    const qsizetype at = output->indexOf("first-paint-ns ");
    if (at < 0) {
        return fail("reported no first paint");
    }
    const qint64 paintNs = output->mid(at + 15).trimmed().split('\n').front().toLongLong();
    QFile times(QString::fromLocal8Bit(timeFile));
    if (!times.open(QIODevice::ReadOnly)) {
        return fail("no report from /usr/bin/time");
    }
    const QByteArray report = times.readAll();
    const QByteArray key = "Maximum resident set size (kbytes): ";
    const qsizetype rss = report.indexOf(key);
    if (rss < 0) {
        return fail("no peak RSS in the report of /usr/bin/time");
    }
    const double kib = report.mid(rss + key.size()).split('\n').front().toDouble();
    return Measure{double(paintNs - start) / 1e6, kib / 1024};
}

struct Spread {
    double min;
    double median;
    double max;
};

Spread spread(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return {v.front(), n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.back()};
}

std::vector<double> ratios(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> r;
    for (std::size_t i = 0; i < a.size(); ++i) {
        r.push_back(a[i] / b[i]);
    }
    return r;
}

// One line of the table: a figure, and its ratio to another measured in the same rounds.
struct Row {
    std::string name;
    const char* unit;
    const std::vector<double>* values;
    const std::vector<double>* base = nullptr;
    std::string baseName;
    double bound = 0; // 0: the ratio is shown for scale only
};

// Prints the row; false when it misses its target. A smoke run's single round says nothing.
bool printRow(const Row& row, bool check) {
    const Spread s = spread(*row.values);
    std::printf("%-40s %4s %8.2f %8.2f %8.2f", row.name.c_str(), row.unit, s.min, s.median, s.max);
    if (row.base == nullptr) {
        std::printf("\n");
        return true;
    }
    const Spread r = spread(ratios(*row.values, *row.base));
    const bool met = row.bound == 0 || r.median <= row.bound;
    std::printf("   %6.2f %6.2f %6.2f   ", r.min, r.median, r.max);
    if (row.bound == 0) {
        std::printf("x %s, for scale\n", row.baseName.c_str());
    } else {
        std::printf("<= %.1fx %s %s\n", row.bound, row.baseName.c_str(),
                    !check ? "(not checked)"
                    : met  ? "met"
                           : "MISSED");
    }
    return met;
}

} // namespace

int main(int argc, char* argv[]) {
    bool smoke = false;
    int rounds = 21;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--smoke") {
            smoke = true;
            rounds = 1;
        } else if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--smoke] [--rounds N]\n", argv[0]);
            return 2;
        }
    }
    QTemporaryDir work;
    // An empty folder as the current one: the program starts with its default settings.
    if (!work.isValid() || !QDir::setCurrent(work.path())) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const QString small = work.filePath("small.log");
    const QString large = work.filePath("large.log");
    if (!bench::writeLogFile(small, 1024) ||
        (!smoke && !bench::writeLogFile(large, qint64(5) << 30))) {
        std::fprintf(stderr, "cannot write the log files\n");
        return 1;
    }
    std::vector<Case> cases{{"empty Qt window", LOGWARDEN_MINIMAL_WINDOW, {"--bare"}, {}, {}},
                            {"minimal Qt window", LOGWARDEN_MINIMAL_WINDOW, {}, {}, {}},
                            {"Logwarden, 1 KB file", LOGWARDEN_FIRST_PAINT, {small}, {}, {}}};
    if (!smoke) {
        cases.push_back({"Logwarden, 5 GB file", LOGWARDEN_FIRST_PAINT, {large}, {}, {}});
    }

    // One unmeasured start each brings the libraries and fonts into the page cache.
    std::fprintf(stderr, "%d rounds of %zu starts; each dot is one round\n", rounds, cases.size());
    for (int round = -1; round < rounds; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            Case& c = cases[(i + static_cast<std::size_t>(std::max(round, 0))) % cases.size()];
            const std::optional<Measure> m = runOnce(c, work.path());
            if (!m) {
                return 1;
            }
            if (round >= 0) {
                c.firstPaintMs.push_back(m->firstPaintMs);
                c.peakRssMiB.push_back(m->peakRssMiB);
            }
        }
        std::fprintf(stderr, ".");
    }
    std::fprintf(stderr, "\n");

    std::printf("%-40s %4s %8s %8s %8s   %-20s %s\n", "start to first paint, peak RSS", "unit",
                "min", "median", "max", "  ratio", "target");
    const Case& empty = cases[0];
    const Case& minimal = cases[1];
    const Case& smallFile = cases[2];
    std::vector<Row> rows;
    for (const bool memory : {false, true}) {
        const auto values = [memory](const Case& c) {
            return memory ? &c.peakRssMiB : &c.firstPaintMs;
        };
        const char* unit = memory ? "MiB" : "ms";
        rows.push_back({empty.name, unit, values(empty), nullptr, {}, 0});
        rows.push_back({minimal.name + " (Japanese line)", unit, values(minimal), values(empty),
                        empty.name, 0});
        for (std::size_t i = 2; i < cases.size(); ++i) {
            rows.push_back({cases[i].name, unit, values(cases[i]), values(minimal), minimal.name,
                            memory ? 1.4 : 1.3});
        }
        if (!memory && cases.size() > 3) {
            rows.push_back(
                {cases[3].name, unit, values(cases[3]), values(smallFile), smallFile.name, 1.1});
        }
        rows.push_back({smallFile.name, unit, values(smallFile), values(empty), empty.name, 0});
    }
    bool met = true;
    for (const Row& row : rows) {
        met = printRow(row, !smoke) && met;
    }
    std::printf("%d rounds\n", rounds);
    return met || smoke ? 0 : 1;
}
