// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/x11/x11_atoms.h"
#include "platform/x11/x11_workspace.h"
#include "platform/x11/xcb_connection.h"

namespace tesuko {

// Tells input meant for this process's own windows (its tray icon, menus and
// dialogs) from input meant for other applications. A window is this
// process's when its _NET_WM_PID is our pid; Qt sets it on every window it
// creates, popups and the tray icon included.
//
// - While a popup of ours is mapped (an override-redirect window, such as an
//   open menu, which holds the pointer and keyboard grabs), all input is ours.
//   Tooltips and notifications grab nothing and do not count as popups.
// - A button press is ours when the deepest window under the pointer that
//   names a process names ours.
// - A key press is ours when the active window is ours.
class OwnInputFilter {
  public:
    OwnInputFilter(const XcbConnection& connection, const X11Atoms& atoms,
                   const X11Workspace& workspace, pid_t ownPid);

    // Children of the root being mapped, unmapped or destroyed.
    void onMapNotify(const xcb_map_notify_event_t& event);
    void onWindowGone(xcb_window_t window);
    // Reads whose the popups mapped since the last call are.
    void settle();

    bool popupOpen() const { return !ownPopups_.empty(); }
    bool keyboardIsOwn() const;
    // Asks the server: a round trip for each level of windows under the pointer.
    bool pointerIsOwn() const;

  private:
    struct PendingPopup {
        xcb_window_t window;
        xcb_get_property_cookie_t pid;
        xcb_get_property_cookie_t type;
    };

    bool grabsInput(xcb_get_property_cookie_t typeCookie) const;

    // Whether the window of a _NET_WM_PID reply is ours; none when it names no process.
    std::optional<bool> isOwn(xcb_get_property_cookie_t pidCookie) const;

    const XcbConnection& connection_;
    const X11Atoms& atoms_;
    const X11Workspace& workspace_;
    std::uint32_t ownPid_;
    std::vector<PendingPopup> pendingPopups_;
    std::vector<xcb_window_t> ownPopups_;
};

}  // namespace tesuko
