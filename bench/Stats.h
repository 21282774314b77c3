// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// Order statistics of a figure's samples.
namespace bench {

struct Spread {
    double min;
    double median;
    double max;
};

// `values` must not be empty.
inline Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.front(), median, values.back()};
}

// The nearest-rank percentile: the smallest value that at least `percent` % of the values
// do not exceed. `values` must not be empty.
inline double percentile(std::vector<double> values, double percent) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100 * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

} // namespace bench
