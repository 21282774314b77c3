// SPDX-License-Identifier: MIT
#include "NewestLine.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace bench {

QByteArray Lines::text(long long n) {
    char head[96];
    std::snprintf(head, sizeof head,
                  "2026/12/07 12:00:00.000 [writer] INFO  screen probe seq=%09lld ", n);
    return head + QByteArray(static_cast<qsizetype>(n % cycle), '=') + "|\n";
}

std::optional<QRect> newestLineIn(const std::vector<std::uint32_t>& pixels, int width) {
    const int height = width > 0 ? static_cast<int>(pixels.size()) / width : 0;
    QRect area;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] == background) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    const auto inkRow = [&](int y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] != background) {
                return true;
            }
        }
        return false;
    };
    int bottom = area.bottom();
    while (bottom >= area.top() && !inkRow(bottom)) {
        --bottom;
    }
    if (bottom < area.top()) {
        return std::nullopt;
    }
    int top = bottom;
    while (top > area.top() && inkRow(top - 1)) {
        --top;
    }
    return QRect(area.left(), top, area.width(), bottom - top + 1);
}

int inkEnd(const std::vector<std::uint32_t>& pixels, int width) {
    int end = -1;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != background) {
            end = std::max(end, static_cast<int>(i % std::size_t(width)));
        }
    }
    return end;
}

void LineCode::learn(long long line, int end) {
    const int residue = static_cast<int>(line % Lines::cycle);
    if (ready()) {
        if (this->residue(end) != residue) {
            throw std::runtime_error("line " + std::to_string(line) + " ends at column " +
                                     std::to_string(end) + ", where no line of its kind ends");
        }
        return;
    }
    if (!mFirst) {
        mFirst = {residue, end};
        return;
    }
    if (residue == mFirst->first) {
        return;
    }
    mAdvance = double(end - mFirst->second) / (residue - mFirst->first);
    mOrigin = mFirst->second - mAdvance * mFirst->first;
    if (mAdvance < 3) {
        throw std::runtime_error("the appended lines cannot be told apart on screen");
    }
}

std::optional<int> LineCode::residue(int end) const {
    const double steps = (end - mOrigin) / mAdvance;
    const long rounded = std::lround(steps);
    if (rounded < 0 || rounded >= Lines::cycle || std::abs(steps - double(rounded)) > 0.3) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

std::optional<long long> LineCode::line(int end, long long newestWritten) const {
    const std::optional<int> r = residue(end);
    if (!r || newestWritten < 0) {
        return std::nullopt;
    }
    const long long back = ((newestWritten - *r) % Lines::cycle + Lines::cycle) % Lines::cycle;
    return newestWritten - back;
}

} // namespace bench
