// SPDX-License-Identifier: MIT
// The least any program does to show an appended line: woken by inotify, it reads what was
// appended and draws the newest line in the X server's own fixed font, with no toolkit and no
// other line. The pixel figures show it as the limit of this machine and display.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

class Window {
public:
    explicit Window(xcb_connection_t* connection) : mConnection(connection) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(mConnection)).data;
        mWindow = xcb_generate_id(mConnection);
        const std::uint32_t look[]{0xc0ffff, XCB_EVENT_MASK_EXPOSURE};
        xcb_create_window(mConnection, XCB_COPY_FROM_PARENT, mWindow, screen->root, 0, 0, 800, 600,
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, look);
        const char* name = "_NET_WM_PID"; // how the runner finds the window
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            mConnection, xcb_intern_atom(mConnection, 0, std::strlen(name), name), nullptr);
        const auto pid = static_cast<std::uint32_t>(::getpid());
        xcb_change_property(mConnection, XCB_PROP_MODE_REPLACE, mWindow, atom->atom,
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
        std::free(atom);
        const xcb_font_t font = xcb_generate_id(mConnection);
        xcb_open_font(mConnection, font, 5, "fixed");
        mPen = xcb_generate_id(mConnection);
        const std::uint32_t pen[]{0x000000, 0xc0ffff, font};
        xcb_create_gc(mConnection, mPen, mWindow,
                      XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | XCB_GC_FONT, pen);
        xcb_map_window(mConnection, mWindow);
        xcb_flush(mConnection);
    }

    void show(const std::string& line) {
        mLine = line.substr(0, 255);
        draw();
    }

    void draw() {
        xcb_clear_area(mConnection, 0, mWindow, 0, 8, 800, 16);
        xcb_image_text_8(mConnection, static_cast<std::uint8_t>(mLine.size()), mWindow, mPen, 4, 20,
                         mLine.c_str());
        xcb_flush(mConnection);
    }

private:
    xcb_connection_t* mConnection;
    xcb_window_t mWindow = 0;
    xcb_gcontext_t mPen = 0;
    std::string mLine;
};

// The newest whole line among what was read, the rest kept for the next read.
bool takeNewest(std::string& pending, std::string& newest) {
    const std::size_t end = pending.rfind('\n');
    if (end == std::string::npos) {
        return false;
    }
    const std::size_t start = end == 0 ? std::string::npos : pending.rfind('\n', end - 1);
    newest = pending.substr(start == std::string::npos ? 0 : start + 1,
                            end - (start == std::string::npos ? 0 : start + 1));
    pending.erase(0, end + 1);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        return 2;
    }
    const int file = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    const int notify = ::inotify_init1(IN_CLOEXEC);
    if (file < 0 || notify < 0 || ::inotify_add_watch(notify, argv[1], IN_MODIFY) < 0) {
        return 1;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        return 1;
    }
    Window window(connection);
    ::lseek(file, std::max<off_t>(0, ::lseek(file, 0, SEEK_END) - 4096), SEEK_SET);
    std::string pending;
    std::string newest;
    char chunk[65536];
    for (;;) {
        for (ssize_t n; (n = ::read(file, chunk, sizeof chunk)) > 0;) {
            pending.append(chunk, std::size_t(n));
        }
        if (takeNewest(pending, newest)) {
            window.show(newest);
        }
        pollfd fds[2]{{notify, POLLIN, 0}, {xcb_get_file_descriptor(connection), POLLIN, 0}};
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_EXPOSE) {
                window.draw();
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection) != 0 || ::poll(fds, 2, -1) < 0) {
            return 1;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            // Only that something was written counts.
            [[maybe_unused]] const ssize_t events = ::read(notify, chunk, sizeof chunk);
        }
    }
}
