// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Control.h"

namespace logwarden::ui {

// Position and size in twips, relative to the parent's client area.
struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A control that has a place in the window and can be hidden.
class Placed : public Control {
public:
    explicit Placed(Rect design) : mRect(design) {}

    const Rect& rect() const { return mRect; }
    void setRect(const Rect& rect) { assign(mRect, rect); }
    void setWidth(double v) { setRect({mRect.left, mRect.top, v, mRect.height}); }

    bool visible() const { return mVisible; }
    void setVisible(bool visible) { assign(mVisible, visible); }

private:
    Rect mRect;
    bool mVisible = true;
};

} // namespace logwarden::ui
