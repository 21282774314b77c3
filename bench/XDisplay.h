// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <map>
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
    // The process that says it owns the window, or 0.
    pid_t ownerOf(xcb_window_t window);
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
    // Also on every top-level window created from now on, as soon as it exists: before the
    // window manager maps it, so that its first drawing is heard of too.
    void watchNewWindows();
    void stopWatching();

    struct Drawn {
        xcb_window_t window;
        QRect area; // in the window's coordinates
    };
    // The descriptor to wait on, and what was drawn on the watched windows since the last call
    // (other events are dropped).
    int descriptor() const { return xcb_get_file_descriptor(mConnection); }
    std::vector<Drawn> takeDrawn();

private:
    xcb_atom_t atom(const char* name);
    std::vector<std::uint32_t> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
    std::uint8_t keycodeOf(std::uint32_t keysym);

    xcb_connection_t* mConnection = nullptr;
    xcb_window_t mRoot = 0;
    std::uint8_t mDamageEvent = 0;
    std::map<std::uint32_t, xcb_window_t> mWatched; // by damage object
    bool mWatchingNew = false;
};

} // namespace bench
