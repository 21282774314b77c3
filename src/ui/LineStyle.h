// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>
#include <functional>
#include <optional>

namespace logwarden::ui {

struct Color {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

// A line's own colours; the text box's colours where it has none.
struct LineStyle {
    std::optional<Color> fore;
    std::optional<Color> back;
    friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

// Decides a line's colours from the file's own characters of the line. The view asks once for
// each line that comes and keeps the answer with the line.
using LineStyler = std::function<LineStyle(QStringView line)>;

} // namespace logwarden::ui
