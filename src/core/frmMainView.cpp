// SPDX-License-Identifier: MIT
// The layout pass and the View menu's switches.
#include "core/frmMain.h"
#include "view/Layout.h"
#include "view/WindowForward.h"

#include <algorithm>

namespace logwarden::core {

using view::modWindowForward::SetWindowForward;

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
    if (outer.width < view::MinimumOuterTwips || outer.height < view::MinimumOuterTwips) {
        window.setOuterSize({std::max(outer.width, view::MinimumOuterTwips),
                             std::max(outer.height, view::MinimumOuterTwips)});
    }

    const view::ViewFlags flags{g.gblnViewFilepath, g.gblnViewTimestamp, g.gblnViewFilesize,
                                g.gblnViewSearchWord, g.gblnViewText};
    const view::PanelGeometry current{fraFilePath.rect(),
                                      fraLastModified.rect(),
                                      fraFileLen.rect(),
                                      fraSerchWord.rect(),
                                      txtView.rect(),
                                      0,
                                      0};
    const view::PanelGeometry next = view::layoutPanels(
        flags, window.clientSize(), current, lblFilePath.rect().left, lblSerchWord.rect().left);
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

    SetWindowForward(port, g.gblnModeWindowForward);
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
    SetWindowForward(port, g.gblnModeWindowForward);
}

} // namespace logwarden::core
