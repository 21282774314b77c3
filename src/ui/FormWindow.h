// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Control.h"

#include <QString>
#include <cstdint>

namespace logwarden::ui {

enum class WindowState : short { Normal = 0, Minimized = 1, Maximized = 2 };

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// The window itself: caption, icon, state and sizes in twips. The binding reports what the
// platform did (silently) and carries out what the form asks for (through the observer).
class FormWindow : public Control {
public:
    const QString& caption() const { return mCaption; }
    void setCaption(const QString& caption) { assign(mCaption, caption); }

    // Index into the icon images: 0 the program's own icon, 1 lit bulb, 2 unlit bulb.
    int icon() const { return mIcon; }
    void setIcon(int index) { assign(mIcon, index); }

    WindowState windowState() const { return mState; }
    void setWindowState(WindowState state) { assign(mState, state); }

    Size outerSize() const { return mOuter; }
    void setOuterSize(Size size) { assign(mOuter, size); }
    Size clientSize() const { return mClient; }

    // The window's own handle on the desktop, which names it as the owner of a dialog.
    std::uintptr_t handle() const { return mHandle; }

    // What the platform reports; no echo back to it.
    void reportHandle(std::uintptr_t handle) { mHandle = handle; }
    // After a move, resize or state change.
    void reportGeometry(WindowState state, Size outer, Size client) {
        mState = state;
        mOuter = outer;
        mClient = client;
    }

private:
    QString mCaption;
    std::uintptr_t mHandle = 0;
    int mIcon = 0;
    WindowState mState = WindowState::Normal;
    // The design's client height, 3750; wider than its 5925, which cut the size panel short:
    // the time-stamp and size panels need 6940 twips side by side.
    Size mOuter{7320, 4545};
    Size mClient{7200, 3750};
};

} // namespace logwarden::ui
