// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <sys/types.h>
#include <vector>
#include <xcb/xcb.h>

// The X display as another client sees it: other programs' windows found, sized, focused and
// typed into as a user would, their pixels read, and their drawing heard of through DAMAGE.
namespace bench {

class XDisplay {
public:
    XDisplay(); // throws when there is no display or it lacks DAMAGE or XTEST
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // The managed top-level window of process `pid`, or 0 while it has none.
    xcb_window_t windowOf(pid_t pid);
    QSize size(xcb_window_t window);
    void resize(xcb_window_t window, QSize size);
    // Asks the window manager to activate the window; true once it is the active one.
    bool activate(xcb_window_t window);
    QByteArray title(xcb_window_t window);
    // Presses the keys in order and releases them in reverse, through XTEST.
    void typeChord(const std::vector<std::uint32_t>& keysyms);

    // 0x00RRGGBB, row by row.
    std::vector<std::uint32_t> pixels(xcb_window_t window, QRect rect);

    // Every drawing on the window (and its children) is reported from now on.
    void watchDrawing(xcb_window_t window);
    void stopWatching();
    // The descriptor to wait on, and the rectangles drawn on the watched window since the last
    // call, in its coordinates (other events are dropped).
    int descriptor() const { return xcb_get_file_descriptor(mConnection); }
    std::vector<QRect> takeDrawn();

private:
    xcb_atom_t atom(const char* name);
    std::vector<std::uint32_t> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
    std::uint8_t keycodeOf(std::uint32_t keysym);

    xcb_connection_t* mConnection = nullptr;
    xcb_window_t mRoot = 0;
    std::uint8_t mDamageEvent = 0;
    std::uint32_t mDamage = 0;
    xcb_window_t mWatched = 0;
};

} // namespace bench
