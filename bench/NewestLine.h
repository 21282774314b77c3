// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

// Reading, from a window's pixels, which appended line is the newest one on screen. Every line
// the runner appends ends in a bar whose length tells the line's number modulo `Lines::cycle`,
// so the right end of the newest line's ink says which line it is in any monospace view.
namespace bench {

// Line `n` of the appended log: a fixed-width head, then n % cycle '=' and a '|'.
struct Lines {
    static constexpr int cycle = 32;
    static QByteArray text(long long n);
};

// Everything the viewers draw on: the text area is what has this colour around the text.
constexpr std::uint32_t background = 0xc0ffff;

// The text area in a window's pixels (`width` a row), as the bounding box of the background
// colour, and the newest line in it: the lowest rows with ink, across the whole area.
std::optional<QRect> newestLineIn(const std::vector<std::uint32_t>& pixels, int width);

// The rightmost column (from 0) of a pixel that is not the background, or -1.
int inkEnd(const std::vector<std::uint32_t>& pixels, int width);

// The ink ends of lines seen settled, from which every other end is read as a line number
// modulo the cycle: the ends lie one character's advance apart.
class LineCode {
public:
    void learn(long long line, int end);
    bool ready() const { return mAdvance > 0; }
    // The line number modulo the cycle, or none for an end that no line of the cycle has.
    std::optional<int> residue(int end) const;
    // The newest line at most `newestWritten` that could show this end, or none.
    std::optional<long long> line(int end, long long newestWritten) const;

private:
    std::optional<std::pair<int, int>> mFirst; // residue, end
    double mAdvance = 0;
    double mOrigin = 0;
};

} // namespace bench
