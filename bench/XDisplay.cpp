// SPDX-License-Identifier: MIT
#include "XDisplay.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <xcb/damage.h>
#include <xcb/xtest.h>

namespace bench {
namespace {

// xcb hands out replies that the caller frees.
template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <class T> Reply<T> owned(T* reply) {
    return {reply, &std::free};
}

} // namespace

XDisplay::XDisplay() : mConnection(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(mConnection) != 0) {
        xcb_disconnect(mConnection);
        throw std::runtime_error("cannot connect to the X display");
    }
    mRoot = xcb_setup_roots_iterator(xcb_get_setup(mConnection)).data->root;
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(mConnection, &xcb_damage_id);
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(mConnection, &xcb_test_id);
    if (damage == nullptr || damage->present == 0 || xtest == nullptr || xtest->present == 0) {
        xcb_disconnect(mConnection);
        throw std::runtime_error("the X display lacks the DAMAGE or XTEST extension");
    }
    mDamageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    // The server speaks DAMAGE to a client only after it asked for the version.
    owned(xcb_damage_query_version_reply(
        mConnection,
        xcb_damage_query_version(mConnection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        nullptr));
}

XDisplay::~XDisplay() {
    stopWatching();
    xcb_disconnect(mConnection);
}

xcb_atom_t XDisplay::atom(const char* name) {
    const auto reply = owned(xcb_intern_atom_reply(
        mConnection, xcb_intern_atom(mConnection, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<std::uint32_t> XDisplay::cardinals(xcb_window_t window, xcb_atom_t property,
                                               xcb_atom_t type) {
    const auto reply = owned(xcb_get_property_reply(
        mConnection, xcb_get_property(mConnection, 0, window, property, type, 0, 4096), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

xcb_window_t XDisplay::windowOf(pid_t pid) {
    const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    for (const xcb_window_t window : cardinals(mRoot, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW)) {
        const std::vector<std::uint32_t> owner = cardinals(window, pidAtom, XCB_ATOM_CARDINAL);
        if (!owner.empty() && owner.front() == static_cast<std::uint32_t>(pid)) {
            return window;
        }
    }
    return 0;
}

pid_t XDisplay::ownerOf(xcb_window_t window) {
    const std::vector<std::uint32_t> owner =
        cardinals(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
    return owner.empty() ? 0 : static_cast<pid_t>(owner.front());
}

QSize XDisplay::size(xcb_window_t window) {
    const auto reply =
        owned(xcb_get_geometry_reply(mConnection, xcb_get_geometry(mConnection, window), nullptr));
    return reply ? QSize(reply->width, reply->height) : QSize();
}

void XDisplay::resize(xcb_window_t window, QSize size) {
    const std::uint32_t values[]{static_cast<std::uint32_t>(size.width()),
                                 static_cast<std::uint32_t>(size.height())};
    xcb_configure_window(mConnection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(mConnection);
}

bool XDisplay::activate(xcb_window_t window) {
    const xcb_atom_t active = atom("_NET_ACTIVE_WINDOW");
    const std::vector<std::uint32_t> now = cardinals(mRoot, active, XCB_ATOM_WINDOW);
    if (!now.empty() && now.front() == window) {
        return true;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = active;
    message.data.data32[0] = 2; // from a pager: the request is the user's, not the program's
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(mConnection, 0, mRoot,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(mConnection);
    return false;
}

QByteArray XDisplay::title(xcb_window_t window) {
    const auto reply =
        owned(xcb_get_property_reply(mConnection,
                                     xcb_get_property(mConnection, 0, window, atom("_NET_WM_NAME"),
                                                      atom("UTF8_STRING"), 0, 1024),
                                     nullptr));
    if (!reply) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            xcb_get_property_value_length(reply.get())};
}

std::uint8_t XDisplay::keycodeOf(std::uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(mConnection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto reply = owned(xcb_get_keyboard_mapping_reply(
        mConnection,
        xcb_get_keyboard_mapping(mConnection, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr));
    if (!reply) {
        throw std::runtime_error("no keyboard mapping");
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    for (int code = 0; code < count; ++code) {
        if (keysyms[std::ptrdiff_t(code) * reply->keysyms_per_keycode] == keysym) {
            return static_cast<std::uint8_t>(setup->min_keycode + code);
        }
    }
    throw std::runtime_error("no key for keysym " + std::to_string(keysym));
}

void XDisplay::typeChord(const std::vector<std::uint32_t>& keysyms) {
    std::vector<std::uint8_t> codes;
    for (const std::uint32_t keysym : keysyms) {
        codes.push_back(keycodeOf(keysym));
    }
    for (const std::uint8_t code : codes) {
        xcb_test_fake_input(mConnection, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
        xcb_test_fake_input(mConnection, XCB_KEY_RELEASE, *code, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
    }
    xcb_flush(mConnection);
}

std::vector<std::uint32_t> XDisplay::pixels(xcb_window_t window, QRect rect) {
    const auto reply = owned(xcb_get_image_reply(
        mConnection,
        xcb_get_image(mConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                      static_cast<std::int16_t>(rect.x()), static_cast<std::int16_t>(rect.y()),
                      static_cast<std::uint16_t>(rect.width()),
                      static_cast<std::uint16_t>(rect.height()), ~0U),
        nullptr));
    const std::size_t count = std::size_t(rect.width()) * std::size_t(rect.height());
    if (!reply || std::size_t(xcb_get_image_data_length(reply.get())) < count * 4) {
        throw std::runtime_error("cannot read the window's pixels (not 32 bits a pixel?)");
    }
    const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(reply.get()));
    std::vector<std::uint32_t> result(data, data + count);
    for (std::uint32_t& pixel : result) {
        pixel &= 0xffffffU;
    }
    return result;
}

void XDisplay::watchDrawing(xcb_window_t window) {
    const std::uint32_t damage = xcb_generate_id(mConnection);
    xcb_damage_create(mConnection, damage, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(mConnection);
    mWatched[damage] = window;
}

void XDisplay::watchNewWindows() {
    const std::uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(mConnection, mRoot, XCB_CW_EVENT_MASK, &events);
    xcb_flush(mConnection);
    mWatchingNew = true;
}

void XDisplay::stopWatching() {
    if (mWatchingNew) {
        const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(mConnection, mRoot, XCB_CW_EVENT_MASK, &none);
        mWatchingNew = false;
    }
    // A window that is gone took its damage object with it: the error that says so is dropped.
    for (const auto& [damage, window] : mWatched) {
        xcb_damage_destroy(mConnection, damage);
    }
    mWatched.clear();
    xcb_flush(mConnection);
}

std::vector<XDisplay::Drawn> XDisplay::takeDrawn() {
    std::vector<Drawn> drawn;
    while (xcb_generic_event_t* event = xcb_poll_for_event(mConnection)) {
        const auto owner = owned(event);
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY && mWatchingNew) {
            const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            if (created->parent == mRoot) {
                watchDrawing(created->window);
            }
        } else if (type == mDamageEvent) {
            const auto* notice = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
            const auto watched = mWatched.find(notice->damage);
            if (watched != mWatched.end()) {
                drawn.push_back({watched->second, QRect(notice->area.x, notice->area.y,
                                                        notice->area.width, notice->area.height)});
            }
        }
    }
    if (xcb_connection_has_error(mConnection) != 0) {
        throw std::runtime_error("lost the X display");
    }
    return drawn;
}

} // namespace bench
