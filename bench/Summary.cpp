// SPDX-License-Identifier: MIT
#include "Summary.h"

#include "Stats.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace bench {
namespace {

std::map<std::string, Target>& figures() {
    static std::map<std::string, Target> all;
    return all;
}

std::string format(const Spread& s, double unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%8.2f %8.2f %8.2f", s.min / unit, s.median / unit,
                  s.max / unit);
    return text;
}

} // namespace

void addFigure(const std::string& name, const Target& target) {
    figures()[name] = target;
}

bool SummaryReporter::ReportContext(const Context& context) {
    std::cerr << "Running on " << context.cpu_info.num_cpus << " CPUs; each dot is one figure done"
              << std::endl;
    return true;
}

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration) {
            continue;
        }
        const std::string name = run.run_name.function_name;
        if (run.error_occurred) {
            mErrors.push_back(name + ": " + run.error_message);
            continue;
        }
        if (!mSamples.contains(name)) {
            mOrder.push_back(name);
        }
        const auto counter = [&run](const char* key) {
            const auto it = run.counters.find(key);
            return it == run.counters.end() ? 0.0 : it->second.value;
        };
        mSamples[name].push_back({counter("product"), counter("reference")});
    }
    std::cerr << '.' << std::flush;
}

bool SummaryReporter::printSummary(bool checkTargets) const {
    // A smoke run's few iterations include first calls: its figures say nothing.
    const auto outcome = [checkTargets](bool met) {
        return !checkTargets ? "(not checked)" : met ? "met" : "MISSED";
    };
    std::cerr << std::endl;
    bool ok = mErrors.empty();
    std::printf("%-40s %4s %-26s %-26s %-20s %s\n", "figure (min median max)", "unit",
                "   Logwarden", "   beside it", "  ratio", "target");
    for (const std::string& name : mOrder) {
        const Target& target = figures().at(name);
        const std::vector<Sample>& samples = mSamples.at(name);
        std::vector<double> product;
        std::vector<double> reference;
        std::vector<double> ratio;
        for (const Sample& s : samples) {
            product.push_back(s.product);
            reference.push_back(s.reference);
            ratio.push_back(s.reference > 0 ? s.product / s.reference : 0);
        }
        const Spread p = spread(product);
        std::string besides;
        std::string ratios;
        bool met = false;
        char verdict[96];
        if (!target.reference.empty()) {
            const Spread r = spread(ratio);
            besides = format(spread(reference), target.unit);
            char text[64];
            std::snprintf(text, sizeof text, "%6.2f %6.2f %6.2f", r.min, r.median, r.max);
            ratios = text;
        }
        if (target.kind == Target::Kind::Ratio) {
            met = spread(ratio).median <= target.bound;
            std::snprintf(verdict, sizeof verdict, "<= %.1fx %s %s", target.bound,
                          target.reference.c_str(), outcome(met));
        } else if (target.kind == Target::Kind::Informative) {
            met = true;
            std::snprintf(verdict, sizeof verdict, "none, for scale");
        } else {
            met = p.median <= target.bound;
            std::snprintf(verdict, sizeof verdict, "<= %g %s %s", target.bound / target.unit,
                          target.unitName.c_str(), outcome(met));
        }
        std::printf("%-40s %4s %-26s %-26s %-20s %s\n", name.c_str(), target.unitName.c_str(),
                    format(p, target.unit).c_str(), besides.c_str(), ratios.c_str(), verdict);
        ok = ok && (met || !checkTargets);
    }
    for (const std::string& error : mErrors) {
        std::printf("FAILED TO RUN %s\n", error.c_str());
    }
    std::printf("%zu figures, %zu repetitions each\n", mOrder.size(),
                mOrder.empty() ? std::size_t{0} : mSamples.at(mOrder.front()).size());
    return ok;
}

} // namespace bench
