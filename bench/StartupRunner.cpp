// SPDX-License-Identifier: MIT
// Start to first paint and peak memory offscreen, each program started in turn under
// /usr/bin/time -v: Logwarden on a small and a huge file beside a minimal Qt window. Start-up on
// the X display is read off the screen (ScreenStartRunner.cpp).
// --smoke: one round; --rounds N.
#include "ChildProcess.h"
#include "LogFixture.h"
#include "Monotonic.h"
#include "Stats.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

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

std::optional<Measure> runOnce(const Case& c, const QString& work) {
    const QByteArray timeFile = QFile::encodeName(work + "/time.txt");
    std::vector<QByteArray> argv{"/usr/bin/time", "-v", "-o", timeFile,
                                 QFile::encodeName(c.program)};
    for (const QString& argument : c.arguments) {
        argv.push_back(QFile::encodeName(argument));
    }
    const std::int64_t start = bench::monotonicNs();
    bench::ChildProcess child(argv, QFile::encodeName(work + "/stderr.txt"));
    const bool ended = child.started() && child.readToEnd(start + 60'000'000'000LL);
    const int status = child.wait();

    const auto fail = [&](const char* why) -> std::optional<Measure> {
        std::fprintf(stderr, "\n%s: %s\n%s\n", c.name.c_str(), why, child.errorText().constData());
        return std::nullopt;
    };
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return fail("did not run to its end");
    }
    const QByteArray& output = child.unreadOutput();
    const qsizetype at = output.indexOf("first-paint-ns ");
    if (at < 0) {
        return fail("reported no first paint");
    }
    const qint64 paintNs = output.mid(at + 15).trimmed().split('\n').front().toLongLong();
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

// Starts every case once per round, in an order that turns each round. One unmeasured start
// each first brings the libraries and fonts into the page cache.
bool runRounds(std::vector<Case>& cases, int rounds, const QString& work) {
    std::fprintf(stderr, "%d rounds of %zu starts; each dot is one round\n", rounds, cases.size());
    for (int round = -1; round < rounds; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            Case& c = cases[(i + static_cast<std::size_t>(std::max(round, 0))) % cases.size()];
            const std::optional<Measure> m = runOnce(c, work);
            if (!m) {
                return false;
            }
            if (round >= 0) {
                c.firstPaintMs.push_back(m->firstPaintMs);
                c.peakRssMiB.push_back(m->peakRssMiB);
            }
        }
        std::fprintf(stderr, ".");
    }
    std::fprintf(stderr, "\n");
    return true;
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
    const bench::Spread s = bench::spread(*row.values);
    std::printf("%-40s %4s %8.2f %8.2f %8.2f", row.name.c_str(), row.unit, s.min, s.median, s.max);
    if (row.base == nullptr) {
        std::printf("\n");
        return true;
    }
    const bench::Spread r = bench::spread(ratios(*row.values, *row.base));
    const bool met = row.bound == 0 || r.median <= row.bound;
    std::printf("   %6.2f %6.2f %6.2f   ", r.min, r.median, r.max);
    if (row.bound == 0) {
        std::printf("x %s, for scale\n", row.baseName.c_str());
    } else {
        std::printf("<= %gx %s %s\n", row.bound, row.baseName.c_str(),
                    !check ? "(not checked)"
                    : met  ? "met"
                           : "MISSED");
    }
    return met;
}

bool printRows(const std::vector<Row>& rows, const char* title, bool check) {
    std::printf("%-40s %4s %8s %8s %8s   %-20s %s\n", title, "unit", "min", "median", "max",
                "  ratio", "target");
    bool met = true;
    for (const Row& row : rows) {
        met = printRow(row, check) && met;
    }
    return met;
}

// Logwarden on a small and a huge file, beside the minimal window and, for scale, an empty
// one. False when a start fails.
bool offscreen(const QString& work, int rounds, bool smoke, bool& met) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const QString small = work + "/small.log";
    const QString large = work + "/large.log";
    if (!bench::writeLogFile(small, 1024) ||
        (!smoke && !bench::writeLogFile(large, qint64(5) << 30))) {
        std::fprintf(stderr, "cannot write the log files\n");
        return false;
    }
    std::vector<Case> cases{{"empty Qt window", LOGWARDEN_MINIMAL_WINDOW, {"--bare"}, {}, {}},
                            {"minimal Qt window", LOGWARDEN_MINIMAL_WINDOW, {}, {}, {}},
                            {"Logwarden, 1 KB file", LOGWARDEN_FIRST_PAINT, {small}, {}, {}}};
    if (!smoke) {
        cases.push_back({"Logwarden, 5 GB file", LOGWARDEN_FIRST_PAINT, {large}, {}, {}});
    }
    if (!runRounds(cases, rounds, work)) {
        return false;
    }
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
        // The start-up time's target is the one on the display, beside a tail viewer: a window
        // that draws one label is no measure of a text view's first paint, shown here for scale.
        for (std::size_t i = 2; i < cases.size(); ++i) {
            rows.push_back({cases[i].name, unit, values(cases[i]), values(minimal), minimal.name,
                            memory ? 1.4 : 0});
        }
        if (!memory && cases.size() > 3) {
            rows.push_back(
                {cases[3].name, unit, values(cases[3]), values(smallFile), smallFile.name, 1.1});
        }
        rows.push_back({smallFile.name, unit, values(smallFile), values(empty), empty.name, 0});
    }
    met = printRows(rows, "offscreen: first paint, peak RSS", !smoke) && met;
    return true;
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
    bool met = true;
    const bool ran = offscreen(work.path(), rounds, smoke, met);
    std::printf("%d rounds\n", rounds);
    return ran && (met || smoke) ? 0 : 1;
}
