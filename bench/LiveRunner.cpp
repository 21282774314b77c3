// SPDX-License-Identifier: MIT
// Following a growing log on the X display. Logwarden (a copy built with bench/LiveProbe.cpp)
// and `tail -F` watch the same file, in one run, while this program appends to it:
//  - append to paint: lines paced 100 to 200 ms apart; for each, the time from its write to
//    the first paint that drew it in Logwarden's text view, and to its arrival on tail's
//    output;
//  - CPU: utime + stime from /proc/PID/stat while the file stays unchanged, and while 1,000
//    lines a second are appended.
// --smoke: a few lines and one second for each CPU figure.
#include "ChildProcess.h"
#include "LogFixture.h"
#include "Monotonic.h"
#include "Stats.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

constexpr std::int64_t msNs = 1'000'000;
constexpr std::int64_t secondNs = 1'000 * msNs;

// The default settings, but for the line ends of a log written on Linux.
const char* const settings = "[TYPE VALUE RETURNCODE]\r\n2\r\n\r\n";

QByteArray liveLine(long long n) {
    return "2024/03/05 12:00:00.000 [writer] INFO  追記しました request=/api/v2/orders "
           "status=200 live=" +
           QByteArray::number(n) + '\n';
}

std::int64_t cpuTicks(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read /proc/" + std::to_string(pid) + "/stat");
    }
    // The name in parentheses may hold blanks: fields are counted after its closing one.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        throw std::runtime_error("unexpected /proc/PID/stat");
    }
    return fields[11].toLongLong() + fields[12].toLongLong(); // utime, stime
}

// The two followers of the log, and what each has shown of its appended lines.
class Followers {
public:
    Followers(const QString& work, const QString& log)
        : mLogwarden({LOGWARDEN_LIVE, QFile::encodeName(log)},
                     QFile::encodeName(work + "/logwarden.err")),
          mTail({"/usr/bin/tail", "-F", "-n", "0", QFile::encodeName(log)},
                QFile::encodeName(work + "/tail.err")) {
        if (!mLogwarden.started() || !mTail.started()) {
            throw std::runtime_error("cannot start Logwarden or tail");
        }
    }

    bench::ChildProcess& logwarden() { return mLogwarden; }
    bench::ChildProcess& tail() { return mTail; }
    bool monitoring() const { return mMonitoring; }
    // Live line number to the moment Logwarden painted it, or it arrived on tail's output.
    const std::map<long long, std::int64_t>& painted() const { return mPainted; }
    const std::map<long long, std::int64_t>& arrived() const { return mArrived; }
    bool bothShowed(long long n) const { return mPainted.contains(n) && mArrived.contains(n); }

    // Reads both outputs until the moment, or until `done` holds.
    template <class Done> void pump(std::int64_t untilNs, Done done) {
        while (!done()) {
            const std::int64_t left = untilNs - bench::monotonicNs();
            if (left <= 0) {
                return;
            }
            if (mLogwarden.output() < 0 || mTail.output() < 0) {
                throw std::runtime_error(mLogwarden.output() < 0 ? "Logwarden ended"
                                                                 : "tail ended");
            }
            pollfd fds[2]{{mLogwarden.output(), POLLIN, 0}, {mTail.output(), POLLIN, 0}};
            const timespec timeout{left / secondNs, left % secondNs};
            if (::ppoll(fds, 2, &timeout, nullptr) <= 0) {
                continue;
            }
            const std::int64_t now = bench::monotonicNs();
            if (fds[0].revents != 0) {
                for (const QByteArray& line : mLogwarden.takeLines()) {
                    readProbe(line);
                }
            }
            if (fds[1].revents != 0) {
                for (const QByteArray& line : mTail.takeLines()) {
                    const qsizetype at = line.lastIndexOf("live=");
                    if (at >= 0) {
                        mArrived.emplace(line.mid(at + 5).toLongLong(), now);
                    }
                }
            }
        }
    }
    void pump(std::int64_t untilNs) {
        pump(untilNs, [] { return false; });
    }

private:
    void readProbe(const QByteArray& line) {
        const QList<QByteArray> words = line.split(' ');
        if (words.front() == "monitoring") {
            mMonitoring = true;
        } else if (words.front() == "painted" && words.size() > 2) {
            for (qsizetype i = 2; i < words.size(); ++i) {
                mPainted.emplace(words[i].toLongLong(), words[1].toLongLong());
            }
        }
    }

    bench::ChildProcess mLogwarden;
    bench::ChildProcess mTail;
    bool mMonitoring = false;
    std::map<long long, std::int64_t> mPainted;
    std::map<long long, std::int64_t> mArrived;
};

class Writer {
public:
    explicit Writer(const QString& log)
        : mFd(::open(QFile::encodeName(log).constData(), O_WRONLY | O_APPEND | O_CLOEXEC)) {
        if (mFd < 0) {
            throw std::runtime_error("cannot open the log for appending");
        }
    }
    ~Writer() { ::close(mFd); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Appends line `n` and returns the moment just before the write.
    std::int64_t append(long long n) {
        const QByteArray line = liveLine(n);
        const std::int64_t at = bench::monotonicNs();
        if (::write(mFd, line.constData(), line.size()) != line.size()) {
            throw std::runtime_error("short write to the log");
        }
        return at;
    }

private:
    int mFd;
};

// Milliseconds from each write to the moment it was shown; a line never shown counts as
// infinitely late.
std::vector<double> latencies(const std::map<long long, std::int64_t>& written,
                              const std::map<long long, std::int64_t>& shown, int& missing) {
    std::vector<double> ms;
    missing = 0;
    for (const auto& [n, at] : written) {
        const auto it = shown.find(n);
        missing += it == shown.end() ? 1 : 0;
        ms.push_back(it == shown.end() ? INFINITY : double(it->second - at) / msNs);
    }
    return ms;
}

struct Row {
    std::string name;
    const char* unit;
    double logwarden;
    double tail;
    double bound;
};

bool printRow(const Row& row, bool check) {
    const bool met = row.logwarden <= row.bound;
    char ratio[16] = "";
    if (row.tail > 0) {
        std::snprintf(ratio, sizeof ratio, "%10.2f", row.logwarden / row.tail);
    }
    std::printf("%-40s %4s %10.2f %10.2f %10s   <= %g %s %s\n", row.name.c_str(), row.unit,
                row.logwarden, row.tail, ratio, row.bound, row.unit,
                !check ? "(not checked)"
                : met  ? "met"
                       : "MISSED");
    return met || !check;
}

struct Plan {
    int lines = 40;
    std::int64_t idleNs = 10 * secondNs;
    std::int64_t loadNs = 10 * secondNs;
};

// Returns whether every figure met its target (always true when `check` is off); throws when
// one cannot be taken.
bool run(const QString& work, const Plan& plan, bool check) {
    const QString log = work + "/live.log";
    QFile ini(work + "/Logwarden.ini");
    if (!ini.open(QIODevice::WriteOnly) || ini.write(settings) < 0 ||
        !bench::writeLogFile(log, qint64(100) << 10)) {
        throw std::runtime_error("cannot write the settings or the log in " + work.toStdString());
    }
    ini.close();
    Followers followers(work, log);
    Writer writer(log);
    const auto fail = [&](const char* why) {
        std::fprintf(stderr, "--- Logwarden's standard error\n%s\n",
                     followers.logwarden().errorText().constData());
        throw std::runtime_error(why);
    };

    followers.pump(bench::monotonicNs() + 60 * secondNs, [&] { return followers.monitoring(); });
    if (!followers.monitoring()) {
        fail("Logwarden did not start monitoring");
    }
    // A first line shows that both follow the file; with a poll, it may take its period.
    writer.append(0);
    followers.pump(bench::monotonicNs() + 10 * secondNs, [&] { return followers.bothShowed(0); });
    if (!followers.bothShowed(0)) {
        fail(followers.painted().contains(0) ? "tail never showed the first line"
                                             : "Logwarden never painted the first line");
    }

    std::fprintf(stderr, "%d lines, then %.0f s unchanged, then %.0f s at 1,000 lines/s\n",
                 plan.lines, double(plan.idleNs) / secondNs, double(plan.loadNs) / secondNs);
    // Random pauses, so that the writes fall anywhere in a poll's period.
    std::mt19937 random(1);
    std::uniform_int_distribution<std::int64_t> pause(100 * msNs, 200 * msNs);
    std::map<long long, std::int64_t> written;
    std::int64_t next = bench::monotonicNs();
    for (long long n = 1; n <= plan.lines; ++n) {
        followers.pump(next);
        written[n] = writer.append(n);
        next = written[n] + pause(random);
    }
    followers.pump(next + 3 * secondNs, [&] { return followers.bothShowed(plan.lines); });
    followers.pump(bench::monotonicNs() + secondNs); // let the last refresh settle

    const auto cpuPercent = [&](std::int64_t forNs, auto&& during) {
        const pid_t pids[2]{followers.logwarden().pid(), followers.tail().pid()};
        const std::int64_t before[2]{cpuTicks(pids[0]), cpuTicks(pids[1])};
        const std::int64_t start = bench::monotonicNs();
        during(start + forNs);
        const double seconds = double(bench::monotonicNs() - start) / secondNs;
        const double tick = double(::sysconf(_SC_CLK_TCK));
        return std::pair{double(cpuTicks(pids[0]) - before[0]) / tick / seconds * 100,
                         double(cpuTicks(pids[1]) - before[1]) / tick / seconds * 100};
    };
    const auto idle = cpuPercent(plan.idleNs, [&](std::int64_t end) { followers.pump(end); });
    long long n = plan.lines;
    const auto load = cpuPercent(plan.loadNs, [&](std::int64_t end) {
        for (std::int64_t at = bench::monotonicNs(); at < end; at += msNs) {
            followers.pump(at);
            writer.append(++n);
        }
    });

    int paintMissing = 0;
    int tailMissing = 0;
    const std::vector<double> paint = latencies(written, followers.painted(), paintMissing);
    const std::vector<double> tail = latencies(written, followers.arrived(), tailMissing);
    std::printf("%-40s %4s %10s %10s %10s   %s\n", "following a log on the X display", "unit",
                "Logwarden", "tail -F", "ratio", "target");
    const std::string lines = " (" + std::to_string(plan.lines) + " lines)";
    const std::string idleFor = std::to_string(plan.idleNs / secondNs) + " s";
    const std::string loadFor = std::to_string(plan.loadNs / secondNs) + " s";
    bool met = true;
    for (const Row& row :
         std::vector<Row>{{"append to paint, median" + lines, "ms", bench::spread(paint).median,
                           bench::spread(tail).median, 10},
                          {"append to paint, p95" + lines, "ms", bench::percentile(paint, 95),
                           bench::percentile(tail, 95), 50},
                          {"CPU, unchanged file, " + idleFor, "%", idle.first, idle.second, 0.1},
                          {"CPU, 1,000 lines/s, " + loadFor, "%", load.first, load.second, 2}}) {
        met = printRow(row, check) && met;
    }
    if (paintMissing + tailMissing > 0) {
        std::printf("not shown within 3 s of the last write: %d lines in Logwarden, %d in tail\n",
                    paintMissing, tailMissing);
    }
    return met;
}

} // namespace

int main(int argc, char* argv[]) {
    Plan plan;
    bool smoke = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--smoke") {
            smoke = true;
            plan = {5, secondNs, secondNs};
        } else if (arg == "--lines" && i + 1 < argc) {
            plan.lines = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--smoke] [--lines N]\n", argv[0]);
            return 2;
        }
    }
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
        return run(work.path(), plan, !smoke) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "FAILED TO RUN the live figures: %s\n", error.what());
        return 1;
    }
}
