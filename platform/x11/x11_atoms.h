// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

namespace tesuko {

// The atoms this backend reads, interned once per connection.
struct X11Atoms {
    xcb_atom_t netActiveWindow = XCB_NONE;
    xcb_atom_t netClientListStacking = XCB_NONE;
    xcb_atom_t netClientList = XCB_NONE;
    xcb_atom_t netWmName = XCB_NONE;
    xcb_atom_t netWmPid = XCB_NONE;
    xcb_atom_t netWmState = XCB_NONE;
    xcb_atom_t netWmStateHidden = XCB_NONE;
    xcb_atom_t netWmWindowType = XCB_NONE;
    xcb_atom_t netWmWindowTypeDesktop = XCB_NONE;
    xcb_atom_t netWmWindowTypeDock = XCB_NONE;
    xcb_atom_t netWmWindowTypeTooltip = XCB_NONE;
    xcb_atom_t netWmWindowTypeNotification = XCB_NONE;
    xcb_atom_t utf8String = XCB_NONE;
    xcb_atom_t compoundText = XCB_NONE;

    // All requests go out before the first reply is read: one round trip.
    static X11Atoms intern(xcb_connection_t* connection);
};

}  // namespace tesuko
