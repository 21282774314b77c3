// SPDX-License-Identifier: MIT
// Start to the tail on screen, read off the X display from outside the programs: Logwarden (the
// release build of the program itself) and the minimal Qt tail viewer show the tail of the same
// 100 KB log, started in turn, round after round. Each start is timed from just before it is
// spawned to the first drawing after which its text area shows what it settles on; every
// top-level window is watched through DAMAGE from its creation, before it is mapped. Peak RSS
// once settled is shown beside it, for scale.
// --smoke: one round; --rounds N; --program PATH: another build of the program in place of
// this tree's.
#include "ChildProcess.h"
#include "LoadAverage.h"
#include "LogFixture.h"
#include "Monotonic.h"
#include "NewestLine.h"
#include "Stats.h"
#include "Viewers.h"
#include "XDisplay.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <map>
#include <poll.h>
#include <stdexcept>
#include <string>

namespace {

using bench::monotonicNs;

constexpr std::int64_t msNs = 1'000'000;

struct Case {
    std::string name;
    QByteArray program;
    std::vector<double> ms;
    std::vector<double> peakMiB;
};

struct Frame {
    std::int64_t at;
    QSize size;
    std::vector<std::uint32_t> pixels;
};

// Whether two pictures of the window agree inside `area`.
bool sameIn(const Frame& a, const Frame& b, QRect area) {
    if (a.size != b.size) {
        return false;
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto row = std::size_t(y) * std::size_t(a.size.width());
        if (!std::equal(a.pixels.begin() + std::ptrdiff_t(row + std::size_t(area.left())),
                        a.pixels.begin() + std::ptrdiff_t(row + std::size_t(area.right()) + 1),
                        b.pixels.begin() + std::ptrdiff_t(row + std::size_t(area.left())))) {
            return false;
        }
    }
    return true;
}

// The text area: the bounding box of the background colour.
QRect textArea(const Frame& frame) {
    QRect area;
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        if (frame.pixels[i] == bench::background) {
            const auto width = std::size_t(frame.size.width());
            area |= QRect(int(i % width), int(i / width), 1, 1);
        }
    }
    return area;
}

// Starts the program, and returns the milliseconds to its tail on screen and its peak RSS.
std::pair<double, double> startOnce(bench::XDisplay& display, const Case& c, const QString& log) {
    display.watchNewWindows();
    const std::int64_t start = monotonicNs();
    bench::ChildProcess child({c.program, QFile::encodeName(log)}, "start.err");
    const auto fail = [&](const std::string& why) {
        std::fprintf(stderr, "\n%s\n", child.errorText().constData());
        return std::runtime_error(c.name + ": " + why);
    };
    std::map<xcb_window_t, bool> ours;
    std::vector<Frame> frames;
    xcb_window_t window = 0;
    std::int64_t lastDrawn = start;
    for (std::int64_t now = start; window == 0 || now - lastDrawn < 500 * msNs;
         now = monotonicNs()) {
        if (now - start > 30'000 * msNs) {
            throw fail("its window was never drawn");
        }
        pollfd fd{display.descriptor(), POLLIN, 0};
        const timespec wake{0, 5 * msNs};
        ::ppoll(&fd, 1, &wake, nullptr);
        const std::vector<bench::XDisplay::Drawn> drawn = display.takeDrawn();
        const std::int64_t at = monotonicNs();
        for (const auto& d : drawn) {
            if (!ours.contains(d.window)) {
                ours[d.window] = display.ownerOf(d.window) == child.pid();
            }
            if (ours[d.window]) {
                window = d.window;
                lastDrawn = at;
            }
        }
        if (window != 0 && lastDrawn == at) {
            try {
                const QSize size = display.size(window);
                frames.push_back({at, size, display.pixels(window, QRect(QPoint(), size))});
            } catch (const std::runtime_error&) {
                // The window changed size between the two requests: the next drawing tells.
            }
        }
    }
    display.stopWatching();
    const QSize size = display.size(window);
    const Frame settled{0, size, display.pixels(window, QRect(QPoint(), size))};
    const QRect area = textArea(settled);
    if (area.isEmpty()) {
        throw fail("no text area on screen");
    }
    const auto first = std::find_if(frames.begin(), frames.end(),
                                    [&](const Frame& f) { return sameIn(f, settled, area); });
    if (first == frames.end()) {
        throw fail("its text area never showed what it settled on when it was drawn");
    }
    return {double(first->at - start) / 1e6, double(bench::memoryKiB(child.pid()).first) / 1024};
}

std::vector<double> ratios(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> r;
    for (std::size_t i = 0; i < a.size(); ++i) {
        r.push_back(a[i] / b[i]);
    }
    return r;
}

void printRow(const std::string& name, const char* unit, const std::vector<double>& values) {
    const bench::Spread s = bench::spread(values);
    std::printf("%-40s %4s %8.2f %8.2f %8.2f", name.c_str(), unit, s.min, s.median, s.max);
}

// Prints the table; false when Logwarden misses its bound.
bool report(const Case& viewer, const Case& logwarden, int rounds, bool check) {
    std::printf("%-40s %4s %8s %8s %8s   %-20s %s\n", "X display: start to the tail on screen",
                "unit", "min", "median", "max", "  ratio", "target");
    constexpr double bound = 1.10;
    printRow(viewer.name, "ms", viewer.ms);
    std::printf("\n");
    printRow(logwarden.name, "ms", logwarden.ms);
    const bench::Spread r = bench::spread(ratios(logwarden.ms, viewer.ms));
    const bool met = r.median <= bound;
    std::printf("   %6.2f %6.2f %6.2f   <= %gx %s %s\n", r.min, r.median, r.max, bound,
                viewer.name.c_str(),
                !check ? "(not checked)"
                : met  ? "met"
                       : "MISSED");
    printRow(viewer.name + ", peak RSS", "MiB", viewer.peakMiB);
    std::printf("\n");
    printRow(logwarden.name + ", peak RSS", "MiB", logwarden.peakMiB);
    const bench::Spread m = bench::spread(ratios(logwarden.peakMiB, viewer.peakMiB));
    std::printf("   %6.2f %6.2f %6.2f   x %s, for scale\n", m.min, m.median, m.max,
                viewer.name.c_str());
    std::printf("%d rounds\n", rounds);
    return met || !check;
}

bool run(const QString& work, int rounds, bool check) {
    const QString log = work + "/medium.log";
    if (!bench::writeLogFile(log, qint64(100) << 10)) {
        throw std::runtime_error("cannot write the log file");
    }
    bench::writeLogwardenSettings();
    bench::XDisplay display;
    std::printf("load average before: %s\n", bench::loadAverage().c_str());
    std::vector<Case> cases{{"minimal Qt tail viewer", LOGWARDEN_TAIL_VIEWER, {}, {}},
                            {"Logwarden, 100 KB file", bench::logwardenProgram(), {}, {}}};
    std::fprintf(stderr, "%d rounds of %zu starts; each dot is one round\n", rounds, cases.size());
    // One unmeasured start each first brings the libraries and fonts into the page cache.
    for (int round = -1; round < rounds; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            Case& c = cases[(i + std::size_t(std::max(round, 0))) % cases.size()];
            const auto [ms, peak] = startOnce(display, c, log);
            if (round >= 0) {
                c.ms.push_back(ms);
                c.peakMiB.push_back(peak);
            }
        }
        std::fprintf(stderr, ".");
    }
    std::fprintf(stderr, "\n");
    std::printf("load average after: %s\n", bench::loadAverage().c_str());
    return report(cases[0], cases[1], rounds, check);
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
        } else if (arg == "--program" && i + 1 < argc) {
            bench::useLogwarden(argv[++i]);
        } else if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--smoke] [--rounds N] [--program PATH]\n", argv[0]);
            return 2;
        }
    }
    return bench::runOnDisplay("start-up on the screen",
                               [&](const QString& folder) { return run(folder, rounds, !smoke); });
}
