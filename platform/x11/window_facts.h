// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/x11/x11_atoms.h"

namespace tesuko {

// What this backend needs to know of one top-level window.
struct WindowFacts {
    xcb_window_t window = XCB_NONE;
    bool exists = false;          // false for a window that vanished
    bool viewable = false;        // mapped, and so is every window above it
    bool hidden = false;          // _NET_WM_STATE_HIDDEN: minimised or otherwise out of sight
    bool desktopElement = false;  // a desktop or a dock (panels, trays)
    std::optional<std::string> wmClass;  // the class, second string of WM_CLASS
    std::optional<std::uint32_t> pid;    // _NET_WM_PID
    std::optional<std::string> title;    // _NET_WM_NAME, else WM_NAME; UTF-8

    bool onScreen() const { return exists && viewable && !hidden && !desktopElement; }
    // The name the window's application goes by: its class, else the name of
    // its process, else none.
    std::optional<std::string> application() const;
};

// The facts of every window, in the order given. All requests are sent
// before the first reply is read, so any number of windows costs one round trip.
std::vector<WindowFacts> fetchWindowFacts(xcb_connection_t* connection, const X11Atoms& atoms,
                                          std::span<const xcb_window_t> windows);

}  // namespace tesuko
