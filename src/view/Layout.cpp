// SPDX-License-Identifier: MIT
#include "view/Layout.h"

#include <algorithm>
#include <cmath>

namespace logwarden::view {
namespace {

// The running top and left are whole twips; a sum is rounded to the nearest, ties to even.
double whole(double twips) {
    return std::nearbyint(twips);
}

double nonNegative(double twips) {
    return std::max(0.0, twips);
}

} // namespace

PanelGeometry layoutPanels(const ViewFlags& flags, ui::Size client, PanelGeometry current,
                           double filePathLabelLeft, double searchWordLabelLeft) {
    PanelGeometry g = current;
    double nextTop = -80;
    double nextLeft = 0;
    if (flags.filePath) {
        g.filePath = {0, -80, nonNegative(client.width - 10), g.filePath.height};
        nextTop = whole(g.filePath.top + g.filePath.height - 30);
    }
    g.filePathLabelWidth = nonNegative(g.filePath.width - filePathLabelLeft - 100);

    if (flags.timeStamp) {
        g.timeStamp.left = 0;
        g.timeStamp.top = nextTop;
        nextLeft = whole(g.timeStamp.width + g.timeStamp.left + 40);
    }
    if (flags.fileSize) {
        g.fileSize.left = nextLeft;
        g.fileSize.top = nextTop;
        nextTop = whole(g.fileSize.top + g.fileSize.height - 30);
    } else if (flags.timeStamp) {
        nextTop = whole(g.timeStamp.top + g.timeStamp.height - 30);
    }

    if (flags.searchWord) {
        g.searchWord = {0, nextTop, nonNegative(client.width - 10), g.searchWord.height};
        nextTop = whole(g.searchWord.top + g.searchWord.height + 60);
    } else {
        nextTop = whole(nextTop + 80);
    }
    g.searchWordLabelWidth = nonNegative(g.searchWord.width - searchWordLabelLeft - 100);

    g.text = {0, nextTop, nonNegative(client.width), nonNegative(client.height - nextTop)};
    return g;
}

} // namespace logwarden::view
