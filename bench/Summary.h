// SPDX-License-Identifier: MIT
#pragma once

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <exception>
#include <map>
#include <string>
#include <vector>

// Collects the repetitions of every figure and prints them with their ratios and targets.
namespace bench {

// What a figure must meet: a ratio to the figure measured beside it, or an absolute time.
// Informative figures have none, and show a ratio when they name what they are beside.
struct Target {
    enum class Kind { Ratio, Absolute, Informative };
    Kind kind = Kind::Ratio;
    double bound = 0;      // the highest ratio, or the highest median in seconds
    std::string reference; // what the ratio divides by; none for an absolute target
    double unit = 1e-6;    // seconds per printed unit
    std::string unitName = "us";
};

void addFigure(const std::string& name, const Target& target);

// Registers a benchmark under `name`; an exception it throws fails the figure.
template <class Body>
void registerFigure(const std::string& name, const Target& target, Body body) {
    addFigure(name, target);
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) {
        try {
            body(state);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
        }
    });
}

// The CPU time of the calling thread: what a figure costs without the time other processes on
// this shared machine take from it.
struct ThreadCpuClock {
    using duration = std::chrono::nanoseconds;
    static duration now() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds{now.tv_sec} + std::chrono::nanoseconds{now.tv_nsec};
    }
};

// The steady clock's reading, as a duration.
struct WallClock {
    using duration = std::chrono::steady_clock::duration;
    static duration now() { return std::chrono::steady_clock::now().time_since_epoch(); }
};

// Times `product` and `reference` in turns, swapping which goes first, so that neither always
// runs on the caches the other warmed; `prepare` runs untimed before each turn. Reports both
// as counters.
template <class Clock, class Prepare, class Product, class Reference>
void timePairedAfter(benchmark::State& state, Prepare prepare, Product product,
                     Reference reference) {
    typename Clock::duration productTime{};
    typename Clock::duration referenceTime{};
    const auto timed = [](auto& work, typename Clock::duration& total) {
        const auto begin = Clock::now();
        work();
        total += Clock::now() - begin;
    };
    bool productFirst = true;
    for (auto _ : state) {
        prepare();
        if (productFirst) {
            timed(product, productTime);
            timed(reference, referenceTime);
        } else {
            timed(reference, referenceTime);
            timed(product, productTime);
        }
        productFirst = !productFirst;
    }
    const auto seconds = [](typename Clock::duration d) {
        return std::chrono::duration<double>(d).count();
    };
    state.counters["product"] =
        benchmark::Counter(seconds(productTime), benchmark::Counter::kAvgIterations);
    state.counters["reference"] =
        benchmark::Counter(seconds(referenceTime), benchmark::Counter::kAvgIterations);
}

template <class Clock = WallClock, class Product, class Reference>
void timePaired(benchmark::State& state, Product product, Reference reference) {
    timePairedAfter<Clock>(
        state, [] {}, product, reference);
}

// Times `product` alone, in CPU time: its figure is held to an absolute bound.
template <class Product> void timeAlone(benchmark::State& state, Product product) {
    timePaired<ThreadCpuClock>(state, product, [] {});
}

class SummaryReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    // Prints the table; false when a figure failed to run or, if `checkTargets`, missed its
    // target.
    bool printSummary(bool checkTargets) const;

private:
    struct Sample {
        double product;
        double reference;
    };
    std::vector<std::string> mOrder;
    std::map<std::string, std::vector<Sample>> mSamples;
    std::vector<std::string> mErrors;
};

} // namespace bench
