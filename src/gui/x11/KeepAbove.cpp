// SPDX-License-Identifier: MIT
#include "gui/x11/KeepAbove.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace logwarden::gui::x11 {
namespace {

xcb_connection_t* connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Looked up once: each lookup is a round trip to the X server.
struct Atoms {
    xcb_atom_t state;
    xcb_atom_t above;
};

const Atoms& atoms(xcb_connection_t* c) {
    static const Atoms known{atom(c, "_NET_WM_STATE"), atom(c, "_NET_WM_STATE_ABOVE")};
    return known;
}

} // namespace

std::optional<bool> isKeptAbove(const QWindow& window) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return std::nullopt;
    }
    const xcb_atom_t above = atoms(c).above;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, static_cast<xcb_window_t>(window.winId()),
                                                atoms(c).state, XCB_ATOM_ATOM, 0, 64),
                               nullptr),
        &std::free);
    if (!reply) {
        return std::nullopt;
    }
    const auto* states = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    return std::find(states, states + count, above) != states + count;
}

void keepAbove(const QWindow& window) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return;
    }
    constexpr std::uint32_t add = 1;
    constexpr std::uint32_t fromApplication = 1;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.winId());
    message.type = atoms(c).state;
    message.data.data32[0] = add;
    message.data.data32[1] = atoms(c).above;
    message.data.data32[3] = fromApplication;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

} // namespace logwarden::gui::x11
