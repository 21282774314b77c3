// SPDX-License-Identifier: MIT
#pragma once

#include "ui/FormWindow.h"
#include "ui/Placed.h"

namespace logwarden::view {

// Which panels the View menu shows.
struct ViewFlags {
    bool filePath = true;
    bool timeStamp = true;
    bool fileSize = true;
    bool searchWord = false;
    bool text = true;
};

// The places of the four panels, the text view and the two stretching value labels, in twips.
struct PanelGeometry {
    ui::Rect filePath;
    ui::Rect timeStamp;
    ui::Rect fileSize;
    ui::Rect searchWord;
    ui::Rect text;
    double filePathLabelWidth = 0;
    double searchWordLabelWidth = 0;
    friend bool operator==(const PanelGeometry&, const PanelGeometry&) = default;
};

// The vertical stack for a client area. A hidden panel keeps its place from `current`; only the
// text view is placed whether shown or not. Widths and heights never fall below zero.
PanelGeometry layoutPanels(const ViewFlags& flags, ui::Size client, PanelGeometry current,
                           double filePathLabelLeft, double searchWordLabelLeft);

// The smallest outer size of the window, in twips.
inline constexpr double MinimumOuterTwips = 4000;

} // namespace logwarden::view
