// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/xcb_connection.h"

#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

std::string missingDisplayReason(const DisplayTarget& target) {
    if (target.waylandDisplay) {
        return "This is a Wayland session (WAYLAND_DISPLAY=" + *target.waylandDisplay +
               ") without X11 access: DISPLAY is not set, so there is no X server (such as "
               "Xwayland) to watch application switches through.";
    }
    return "No X display: DISPLAY is not set, so there is no X server to watch application "
           "switches through.";
}

std::string connectionFailure(const std::string& display, int error) {
    std::string prefix = "Cannot connect to the X display \"" + display + "\": ";
    switch (error) {
        case XCB_CONN_CLOSED_PARSE_ERR:
            return prefix + "the display name is malformed.";
        case XCB_CONN_CLOSED_INVALID_SCREEN:
            return prefix + "the display has no such screen.";
        case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
            return prefix + "out of memory.";
        default:
            return prefix + "no X server answers there, or it refused this user.";
    }
}

}  // namespace

XcbConnection::Opened XcbConnection::connect(const DisplayTarget& target) {
    if (!target.display) {
        return {std::nullopt, missingDisplayReason(target)};
    }
    int screenNumber = 0;
    xcb_connection_t* raw = xcb_connect(target.display->c_str(), &screenNumber);
    // xcb_connect never returns null; a failed connection still has to be freed.
    std::unique_ptr<xcb_connection_t, Disconnect> owned(raw);
    if (int error = xcb_connection_has_error(raw)) {
        return {std::nullopt, connectionFailure(*target.display, error)};
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(raw));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        return {std::nullopt, connectionFailure(*target.display, XCB_CONN_CLOSED_INVALID_SCREEN)};
    }
    xcb_window_t root = screens.data->root;
    return {XcbConnection(owned.release(), root), ""};
}

void XcbConnection::sync() const {
    takeReply(xcb_get_input_focus_reply, get(), xcb_get_input_focus(get()));
}

}  // namespace tesuko
