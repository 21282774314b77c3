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

std::array<frmMain::ViewSwitch, 5> frmMain::viewSwitches() {
    return {{
        {mnuViewFilepath, g.gblnViewFilepath, fraFilePath},
        {mnuViewTimestamp, g.gblnViewTimestamp, fraLastModified},
        {mnuViewFilesize, g.gblnViewFilesize, fraFileLen},
        {mnuViewSearchWord, g.gblnViewSearchWord, fraSerchWord},
        {mnuViewText, g.gblnViewText, txtView},
    }};
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
    lblFilePath.setWidth(next.filePathLabelWidth);
    fraLastModified.setRect(next.timeStamp);
    fraFileLen.setRect(next.fileSize);
    fraSerchWord.setRect(next.searchWord);
    lblSerchWord.setWidth(next.searchWordLabelWidth);
    txtView.setRect(next.text);
    for (const ViewSwitch& view : viewSwitches()) {
        view.control.setVisible(view.shown);
    }

    modWindowForward::SetWindowForward(port, g.gblnModeWindowForward);
}

void frmMain::flipView(const ui::MenuItem& item) {
    for (const ViewSwitch& view : viewSwitches()) {
        if (&view.item == &item) {
            view.item.setChecked(!view.item.checked());
            view.shown = view.item.checked();
        }
    }
    Form_Resize();
}

void frmMain::mnuViewFilepath_Click() {
    flipView(mnuViewFilepath);
}

void frmMain::mnuViewTimestamp_Click() {
    flipView(mnuViewTimestamp);
}

void frmMain::mnuViewFilesize_Click() {
    flipView(mnuViewFilesize);
}

void frmMain::mnuViewSearchWord_Click() {
    flipView(mnuViewSearchWord);
}

void frmMain::mnuViewText_Click() {
    flipView(mnuViewText);
}

void frmMain::mnuViewForward_Click() {
    mnuViewForward.setChecked(!mnuViewForward.checked());
    g.gblnModeWindowForward = mnuViewForward.checked();
    modWindowForward::SetWindowForward(port, g.gblnModeWindowForward);
}
