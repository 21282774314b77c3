// SPDX-License-Identifier: MIT
// Following a growing log, measured on the X display from outside the programs: Logwarden (the
// release build of the program itself), `tail -F` in xterm, a minimal Qt viewer and a bare X
// client each follow the same file in turn, round after round, while this program appends to
// it and watches their windows through DAMAGE, reading the pixels of the rows where the newest
// line is drawn:
//  - a lone line: the time from its write to the pixels that show it;
//  - 10 lines a second: the same for every line;
//  - 1,000 lines a second for a while: from the last write to the pixels that show it;
//  - CPU (utime + stime) while the file is unchanged, at 1,000 and at 10,000 lines a second;
//  - memory (VmHWM, VmRSS) before and after 600,000 appended lines, all four at once.
// --smoke: one short round, to show that every figure runs. --pictures DIR: saves each window
// as it was read when the newest line was looked for, the rows found framed in red.
// --program PATH: another build of the program in place of this tree's.
#include "LoadAverage.h"
#include "LogFixture.h"
#include "NewestLine.h"
#include "Screen.h"
#include "Stats.h"
#include "Viewers.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

using bench::AppendedLog;
using bench::monotonicNs;
using bench::Screen;
using bench::Viewer;
using bench::ViewerKind;

constexpr std::int64_t msNs = 1'000'000;
constexpr std::int64_t secondNs = 1'000 * msNs;
constexpr std::size_t kinds = std::size(bench::viewerKinds);

struct Plan {
    int rounds = 4;
    int loneLines = 10;
    std::int64_t steadyNs = 3 * secondNs; // at 10 lines/s
    int streams = 2;                      // at 1,000 lines/s
    std::int64_t streamNs = secondNs;
    std::int64_t idleNs = 3 * secondNs;
    std::int64_t floodNs = secondNs; // at 10,000 lines/s
    long long memoryLines = 600'000; // at 10,000 lines/s
    QString pictures;                // where to save the windows as read, if anywhere
};

struct Cpu {
    std::int64_t ticks = 0;
    std::int64_t ns = 0;
    double percent() const {
        return ns == 0
                   ? 0
                   : double(ticks) / double(::sysconf(_SC_CLK_TCK)) / (double(ns) / secondNs) * 100;
    }
};

struct Figures {
    std::vector<double> lone;
    std::vector<double> steady;
    std::vector<double> streamEnds;
    Cpu idle;
    Cpu load;
    Cpu flood;
    double peakGrowthMiB = 0;
    double residentGrowthMiB = 0;
    int unseen = 0;
};

double msSince(std::int64_t from, std::int64_t to) {
    return double(to - from) / msNs;
}

// One viewer's round: its window, the log, and what the pixels say of each line.
class Round {
public:
    Round(bench::XDisplay& display, Viewer& viewer, AppendedLog& log, bench::LineCode& code,
          Figures& figures, const QString& picture, int number)
        : mScreen(display, viewer.window(), log), mViewer(viewer), mLog(log), mCode(code),
          mFigures(figures), mRandom(static_cast<std::uint32_t>(number)) {
        mLog.append(); // shows that it follows the file, and where its newest line is
        mScreen.findNewestLine(400 * msNs, picture);
        mCode.learn(mLog.newest(), mScreen.inkEndNow());
    }

    void loneLines(int count) {
        std::uniform_int_distribution<std::int64_t> pause(50 * msNs, 150 * msNs);
        for (int i = 0; i < count; ++i) {
            mScreen.pump(monotonicNs() + pause(mRandom));
            const std::size_t from = mScreen.changes().size();
            const std::int64_t at = mLog.append();
            const auto& changes = mScreen.changes();
            mScreen.pump(at + 3 * secondNs, [&] {
                return changes.size() > from && monotonicNs() - changes.back().at >= 150 * msNs;
            });
            if (changes.size() == from) {
                unseen(1);
                mFigures.lone.push_back(INFINITY);
                continue;
            }
            // The first moment the rows showed the line; until the lines can be read off the
            // screen, what they settled on.
            const bool readable = mCode.ready();
            mCode.learn(mLog.newest(), changes.back().inkEnd);
            const auto first = readable ? firstShowing(from, mLog.newest())
                                        : std::find_if(changes.begin() + std::ptrdiff_t(from),
                                                       changes.end(), [&](const Screen::Change& c) {
                                                           return c.hash == changes.back().hash;
                                                       });
            mFigures.lone.push_back(msSince(at, first->at));
        }
    }

    void steadyLines(std::int64_t forNs) {
        std::map<long long, std::int64_t> written;
        const std::size_t from = mScreen.changes().size();
        const std::int64_t start = monotonicNs();
        for (std::int64_t next = start; next < start + forNs; next += 100 * msNs) {
            mScreen.pump(next);
            const std::int64_t at = mLog.append();
            written[mLog.newest()] = at;
        }
        mScreen.pump(monotonicNs() + secondNs);
        // A line counts as shown once it or a later one is the newest on screen.
        auto waiting = written.begin();
        for (std::size_t i = from; i < mScreen.changes().size(); ++i) {
            const Screen::Change& change = mScreen.changes()[i];
            const std::optional<long long> shown = mCode.line(change.inkEnd, change.newestWritten);
            for (; shown && waiting != written.end() && waiting->first <= *shown; ++waiting) {
                mFigures.steady.push_back(msSince(waiting->second, change.at));
            }
        }
        const auto left = std::distance(waiting, written.end());
        unseen(static_cast<int>(left));
        mFigures.steady.insert(mFigures.steady.end(), std::size_t(left), INFINITY);
    }

    void idle(std::int64_t forNs) {
        measureCpu(mFigures.idle, forNs, [&] { mScreen.pump(monotonicNs() + forNs); });
    }

    // The time from the last write to the first change of the newest line's rows that shows
    // the last line, once they have not changed for a while. The stream runs for `shortestNs`
    // and up to half a second more, so that its end falls anywhere in a period of the viewer's.
    void stream(std::int64_t shortestNs) {
        const std::int64_t forNs = std::uniform_int_distribution<std::int64_t>(
            shortestNs, shortestNs + secondNs / 2)(mRandom);
        std::int64_t last = 0;
        const std::size_t from = mScreen.changes().size();
        measureCpu(mFigures.load, forNs, [&] {
            last = appendAtRate(forNs, msNs);
            const auto& changes = mScreen.changes();
            mScreen.pump(last + 5 * secondNs, [&] {
                const std::int64_t now = monotonicNs();
                return now - last >= secondNs &&
                       (changes.empty() || now - changes.back().at >= 300 * msNs);
            });
        });
        const auto& changes = mScreen.changes();
        const auto shown = firstShowing(from, mLog.newest());
        if (shown != changes.end() &&
            mCode.line(changes.back().inkEnd, mLog.newest()) == mLog.newest()) {
            mFigures.streamEnds.push_back(msSince(last, shown->at));
        } else {
            unseen(1);
            mFigures.streamEnds.push_back(INFINITY);
        }
    }

    void flood(std::int64_t forNs) {
        measureCpu(mFigures.flood, forNs, [&] {
            const std::int64_t last = appendAtRate(forNs, msNs / 10);
            mScreen.pump(last + secondNs);
        });
    }

private:
    std::vector<Screen::Change>::const_iterator firstShowing(std::size_t from, long long line) {
        const auto& changes = mScreen.changes();
        return std::find_if(
            changes.begin() + std::ptrdiff_t(from), changes.end(),
            [&](const Screen::Change& c) { return mCode.line(c.inkEnd, c.newestWritten) == line; });
    }

    // Appends a line every `periodNs` on an absolute schedule; returns the last write's moment.
    std::int64_t appendAtRate(std::int64_t forNs, std::int64_t periodNs) {
        const std::int64_t start = monotonicNs();
        std::int64_t last = start;
        for (std::int64_t next = start; next < start + forNs; next += periodNs) {
            mScreen.pump(next);
            last = mLog.append();
        }
        return last;
    }

    // The CPU the viewer spent while `work` ran, per second of the `forNs` it was for.
    template <class Work> void measureCpu(Cpu& cpu, std::int64_t forNs, Work work) {
        const std::vector<pid_t> pids = mViewer.processes();
        const std::int64_t before = bench::cpuTicks(pids);
        work();
        cpu.ticks += bench::cpuTicks(pids) - before;
        cpu.ns += forNs;
    }

    void unseen(int lines) { mFigures.unseen += lines; }

    Screen mScreen;
    Viewer& mViewer;
    AppendedLog& mLog;
    bench::LineCode& mCode;
    Figures& mFigures;
    std::mt19937 mRandom; // the same pauses and lengths for every viewer in a round
};

void runRound(bench::XDisplay& display, ViewerKind kind, const QString& log, AppendedLog& appended,
              bench::LineCode& code, Figures& figures, const Plan& plan, int number) {
    Viewer viewer(kind, display, log, QDir::current().filePath(QStringLiteral("viewer.err")));
    try {
        const QString picture =
            plan.pictures.isEmpty()
                ? QString()
                : QStringLiteral("%1/%2 %3.png")
                      .arg(plan.pictures, QString::fromLatin1(bench::viewerName(kind)))
                      .arg(appended.newest() + 1);
        Round round(display, viewer, appended, code, figures, picture, number);
        round.loneLines(plan.loneLines);
        round.steadyLines(plan.steadyNs);
        round.idle(plan.idleNs);
        for (int i = 0; i < plan.streams; ++i) {
            round.stream(plan.streamNs);
        }
        round.flood(plan.floodNs);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "--- %s's standard error\n%s\n", bench::viewerName(kind),
                     viewer.errorText().constData());
        throw std::runtime_error(std::string(bench::viewerName(kind)) + ": " + error.what());
    }
}

// All four at once, since only their memory counts: each one's growth over the lines.
void memory(bench::XDisplay& display, const QString& log, AppendedLog& appended,
            std::array<Figures, kinds>& figures, long long lines) {
    std::vector<std::unique_ptr<Viewer>> viewers;
    for (const ViewerKind kind : bench::viewerKinds) {
        viewers.push_back(std::make_unique<Viewer>(
            kind, display, log,
            QDir::current().filePath(QString::fromLatin1(bench::columnName(kind)) + ".err")));
    }
    const auto append = [&](long long count) {
        const std::int64_t start = monotonicNs();
        for (long long i = 0; i < count; ++i) {
            const std::int64_t at = start + i * msNs / 10;
            const timespec until{at / secondNs, at % secondNs};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
            appended.append();
        }
        ::usleep(1'500'000);
    };
    append(std::min(20'000LL, lines / 10)); // the view and its caches warmed up
    std::vector<std::pair<std::int64_t, std::int64_t>> before;
    for (const auto& viewer : viewers) {
        before.push_back(bench::memoryKiB(viewer->pid()));
    }
    append(lines);
    for (std::size_t i = 0; i < kinds; ++i) {
        const auto after = bench::memoryKiB(viewers[i]->pid());
        figures[i].peakGrowthMiB = double(after.first - before[i].first) / 1024;
        figures[i].residentGrowthMiB = double(after.second - before[i].second) / 1024;
    }
}

// One line of the table: the followers' values and what Logwarden's must meet.
struct Row {
    std::string name;
    const char* unit;
    std::array<double, kinds> values;
    std::optional<double> bound;  // none: for scale
    bool ratioToTerminal = false; // the bound is a ratio to the terminal's value
};

bool printRow(const Row& row, bool check) {
    std::printf("%-46s %4s", row.name.c_str(), row.unit);
    for (const double value : row.values) {
        std::printf(" %10.2f", value);
    }
    const double terminal = row.values[1];
    const double ratio = terminal > 0 ? row.values[0] / terminal : INFINITY;
    if (!row.bound) {
        std::printf("   for scale\n");
        return true;
    }
    const bool met = row.ratioToTerminal ? ratio <= *row.bound : row.values[0] <= *row.bound;
    if (row.ratioToTerminal) {
        std::printf("   %.2fx tail -F, <= %gx", ratio, *row.bound);
    } else {
        std::printf("   <= %g %s", *row.bound, row.unit);
    }
    std::printf(" %s\n", !check ? "(not checked)" : met ? "met" : "MISSED");
    return met || !check;
}

bool report(const std::array<Figures, kinds>& f, const Plan& plan, bool check) {
    const auto each = [&](auto value) {
        std::array<double, kinds> values{};
        for (std::size_t i = 0; i < kinds; ++i) {
            values[i] = value(f[i]);
        }
        return values;
    };
    const auto median = [](const std::vector<double>& v) {
        return bench::spread(v).median;
    };
    const auto p95 = [](const std::vector<double>& v) {
        return bench::percentile(v, 95);
    };
    const std::vector<Row> rows{
        {"lone line: write to pixels, median", "ms",
         each([&](const Figures& x) { return median(x.lone); }), 1.3, true},
        {"lone line: write to pixels, p95", "ms",
         each([&](const Figures& x) { return p95(x.lone); }), std::nullopt},
        {"10 lines/s: write to pixels, median", "ms",
         each([&](const Figures& x) { return median(x.steady); }), std::nullopt},
        {"10 lines/s: write to pixels, p95", "ms",
         each([&](const Figures& x) { return p95(x.steady); }), 20},
        {"1,000 lines/s: last write to pixels, median", "ms",
         each([&](const Figures& x) { return median(x.streamEnds); }), 25},
        {"1,000 lines/s: last write to pixels, p95", "ms",
         each([&](const Figures& x) { return p95(x.streamEnds); }), std::nullopt},
        {"CPU, unchanged file", "%", each([](const Figures& x) { return x.idle.percent(); }), 0.1},
        {"CPU, 1,000 lines/s", "%", each([](const Figures& x) { return x.load.percent(); }), 2},
        {"CPU, 10,000 lines/s", "%", each([](const Figures& x) { return x.flood.percent(); }), 5},
        {"peak RSS growth, " + std::to_string(plan.memoryLines) + " lines", "MiB",
         each([](const Figures& x) { return x.peakGrowthMiB; }), 1},
        {"RSS growth, the same lines", "MiB",
         each([](const Figures& x) { return x.residentGrowthMiB; }), std::nullopt},
    };
    std::printf("%-46s %4s", "following a log, on the screen", "unit");
    for (const ViewerKind kind : bench::viewerKinds) {
        std::printf(" %10s", bench::columnName(kind));
    }
    std::printf("   target\n");
    bool met = true;
    for (const Row& row : rows) {
        met = printRow(row, check) && met;
    }
    std::printf("%d rounds: %zu lone lines, %zu lines at 10 lines/s, %zu streams; CPU over %.1f, "
                "%.1f and %.1f s; columns:",
                plan.rounds, f[0].lone.size(), f[0].steady.size(), f[0].streamEnds.size(),
                double(f[0].idle.ns) / secondNs, double(f[0].load.ns) / secondNs,
                double(f[0].flood.ns) / secondNs);
    for (const ViewerKind kind : bench::viewerKinds) {
        std::printf(" %s%s", bench::viewerName(kind),
                    kind == bench::viewerKinds[kinds - 1] ? "\n" : ",");
    }
    for (std::size_t i = 0; i < kinds; ++i) {
        if (f[i].unseen > 0) {
            std::printf("%s: %d lines never shown, counted as infinitely late\n",
                        bench::viewerName(bench::viewerKinds[i]), f[i].unseen);
        }
    }
    return met;
}

bool run(const QString& work, const Plan& plan, bool check) {
    const QString log = work + "/live.log";
    if (!bench::writeLogFile(log, qint64(100) << 10)) {
        throw std::runtime_error("cannot write the log");
    }
    bench::writeLogwardenSettings();
    bench::XDisplay display;
    AppendedLog appended(log);
    std::array<Figures, kinds> figures;
    std::array<bench::LineCode, kinds> codes;
    std::printf("load average before: %s\n", bench::loadAverage().c_str());
    for (int round = 0; round < plan.rounds; ++round) {
        for (std::size_t i = 0; i < kinds; ++i) {
            const std::size_t k = (i + std::size_t(round)) % kinds;
            runRound(display, bench::viewerKinds[k], log, appended, codes[k], figures[k], plan,
                     round);
            std::fprintf(stderr, ".");
        }
    }
    memory(display, log, appended, figures, plan.memoryLines);
    std::fprintf(stderr, "\n");
    std::printf("load average after: %s\n", bench::loadAverage().c_str());
    return report(figures, plan, check);
}

} // namespace

int main(int argc, char* argv[]) {
    Plan plan;
    bool smoke = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--smoke") {
            smoke = true;
            plan.rounds = 1;
            plan.loneLines = 4;
            plan.steadyNs = secondNs;
            plan.streams = 1;
            plan.streamNs = plan.idleNs = plan.floodNs = secondNs / 2;
            plan.memoryLines = 5'000;
        } else if (arg == "--pictures" && i + 1 < argc) {
            plan.pictures = QDir(QString::fromLocal8Bit(argv[++i])).absolutePath();
        } else if (arg == "--program" && i + 1 < argc) {
            bench::useLogwarden(argv[++i]);
        } else if (arg == "--rounds" && i + 1 < argc) {
            plan.rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr,
                         "usage: %s [--smoke] [--rounds N] [--program PATH] [--pictures DIR]\n",
                         argv[0]);
            return 2;
        }
    }
    return bench::runOnDisplay("the pixel figures",
                               [&](const QString& folder) { return run(folder, plan, !smoke); });
}
