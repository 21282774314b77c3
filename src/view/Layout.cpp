// SPDX-License-Identifier: MIT
#include "view/Layout.h"

#include "core/frmMain.h"
#include "view/WindowForward.h"

#include <algorithm>
#include <cmath>

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

void frmMain::Form_Resize() {
    g.gintModeWindowState = static_cast<short>(window.windowState());
    if (window.windowState() == ui::WindowState::Minimized) {
        return;
    }
    const ui::Size outer = window.outerSize();
    if (outer.width < MinimumOuterTwips || outer.height < MinimumOuterTwips) {
        window.setOuterSize(
            {std::max(outer.width, MinimumOuterTwips), std::max(outer.height, MinimumOuterTwips)});
    }

    const ViewFlags flags{g.gblnViewFilepath, g.gblnViewTimestamp, g.gblnViewFilesize,
                          g.gblnViewSearchWord, g.gblnViewText};
    const PanelGeometry current{fraFilePath.rect(),
                                fraLastModified.rect(),
                                fraFileLen.rect(),
                                fraSerchWord.rect(),
                                txtView.rect(),
                                0,
                                0};
    const PanelGeometry next = layoutPanels(flags, window.clientSize(), current,
                                            lblFilePath.rect().left, lblSerchWord.rect().left);
    fraFilePath.setRect(next.filePath);
    fraFilePath.setVisible(flags.filePath);
    lblFilePath.setWidth(next.filePathLabelWidth);
    fraLastModified.setRect(next.timeStamp);
    fraLastModified.setVisible(flags.timeStamp);
    fraFileLen.setRect(next.fileSize);
    fraFileLen.setVisible(flags.fileSize);
    fraSerchWord.setRect(next.searchWord);
    fraSerchWord.setVisible(flags.searchWord);
    lblSerchWord.setWidth(next.searchWordLabelWidth);
    txtView.setRect(next.text);
    txtView.setVisible(flags.text);

    modWindowForward::SetWindowForward(port, g.gblnModeWindowForward);
}

void frmMain::flipView(ui::MenuItem& item, bool& setting) {
    item.setChecked(!item.checked());
    setting = item.checked();
    Form_Resize();
}

void frmMain::mnuViewFilepath_Click() {
    flipView(mnuViewFilepath, g.gblnViewFilepath);
}

void frmMain::mnuViewTimestamp_Click() {
    flipView(mnuViewTimestamp, g.gblnViewTimestamp);
}

void frmMain::mnuViewFilesize_Click() {
    flipView(mnuViewFilesize, g.gblnViewFilesize);
}

void frmMain::mnuViewSearchWord_Click() {
    flipView(mnuViewSearchWord, g.gblnViewSearchWord);
}

void frmMain::mnuViewText_Click() {
    flipView(mnuViewText, g.gblnViewText);
}

void frmMain::mnuViewForward_Click() {
    mnuViewForward.setChecked(!mnuViewForward.checked());
    g.gblnModeWindowForward = mnuViewForward.checked();
    modWindowForward::SetWindowForward(port, g.gblnModeWindowForward);
}
