// SPDX-License-Identifier: MIT
// The tail reader, the poll and the renderer, each beside what it is measured against.
// --window: instead, the figures of a line appended to a real window, on the X display.
// --smoke: a few iterations on small files, to show that every figure still runs.
#include "Benchmarks.h"
#include "Summary.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Qt's notes about the offscreen platform would break up the table.
void keepSevereMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toStdString() << std::endl;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // Later flags win: the defaults, then the smoke run's, then the caller's.
    std::vector<std::string> args{argv[0], "--benchmark_repetitions=15",
                                  "--benchmark_min_time=0.05"};
    std::vector<std::string> given(argv + 1, argv + argc);
    const bool smoke = std::erase(given, "--smoke") > 0;
    const bool window = std::erase(given, "--window") > 0;
    if (smoke) {
        args.insert(args.end(), {"--benchmark_repetitions=1", "--benchmark_min_time=0"});
    }
    args.insert(args.end(), given.begin(), given.end());
    if (window) {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            std::cerr << "--window needs an X display: run it through scripts/bench or xvfb-run"
                      << std::endl;
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(keepSevereMessages);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    // The window reads and writes its settings file in the current directory: keep it here.
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path())) {
        std::cerr << "no temporary folder" << std::endl;
        return 1;
    }
    std::cerr << "Writing the log files..." << std::endl;
    const bool registered = window ? bench::registerWindowBenchmarks(dir.path())
                                   : bench::registerTailBenchmarks(dir.path(), smoke) &&
                                         bench::registerRenderBenchmarks(dir.path());
    if (!registered) {
        std::cerr << "cannot write the log files in " << dir.path().toStdString() << std::endl;
        return 1;
    }

    std::vector<char*> benchArgv;
    for (std::string& arg : args) {
        benchArgv.push_back(arg.data());
    }
    int benchArgc = static_cast<int>(benchArgv.size());
    benchmark::Initialize(&benchArgc, benchArgv.data());
    if (benchmark::ReportUnrecognizedArguments(benchArgc, benchArgv.data())) {
        return 2;
    }
    bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return reporter.printSummary(!smoke) ? 0 : 1;
}
