// The skip-taskbar state of an X11 window: written on the window while it is not mapped (Qt keeps
// it when it maps the window), asked of the window manager while it is.
#include "platform/taskbarbutton.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<xcb_atom_t> windowStates(xcb_connection_t* c, xcb_window_t window, xcb_atom_t state)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, state, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return {};
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / static_cast<int>(sizeof(xcb_atom_t));
    return std::vector<xcb_atom_t>(atoms, atoms + std::max(0, count));
}

}  // namespace

bool setTaskbarButtonHidden(QWidget* window, bool hidden)
{
    xcb_connection_t* c = x11Connection();
    if (c == nullptr || window == nullptr || !window->isWindow())
        return false;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE)
        return false;
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr));
    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, id), nullptr));
    if (!attributes || !tree)
        return false;
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        std::vector<xcb_atom_t> states = windowStates(c, id, state);
        std::erase(states, skip);
        if (hidden)
            states.push_back(skip);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(states.size()), states.data());
    } else {
        // A mapped window's state belongs to the window manager: it is asked to change it.
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = id;
        message.type = state;
        message.data.data32[0] = hidden ? 1 : 0;  // add, remove
        message.data.data32[1] = skip;
        message.data.data32[3] = 1;  // from an ordinary application
        xcb_send_event(c, 0, tree->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    }
    xcb_flush(c);
    return true;
}

bool taskbarButtonHidden(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    if (c == nullptr || window == nullptr || !window->isWindow())
        return false;
    const xcb_atom_t skip = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const std::vector<xcb_atom_t> states =
        windowStates(c, static_cast<xcb_window_t>(window->winId()), atom(c, "_NET_WM_STATE"));
    return skip != XCB_ATOM_NONE && std::find(states.begin(), states.end(), skip) != states.end();
}

}  // namespace platform
