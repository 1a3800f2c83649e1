// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <vector>

#include "platform/window_list.h"
#include "platform/x11/window_facts.h"
#include "platform/x11/x11_atoms.h"
#include "platform/x11/x11_workspace.h"
#include "platform/x11/xcb_connection.h"

namespace tesuko {

// On-screen windows, front-most first: _NET_CLIENT_LIST_STACKING reversed
// (it runs from the back), else _NET_CLIENT_LIST, else the root's children
// where no window manager keeps either list. Viewable windows only, without
// those marked hidden (_NET_WM_STATE_HIDDEN) and without desktops and docks.
// Owner: as in X11Workspace. Title: _NET_WM_NAME, else WM_NAME by its type.
// A window that vanishes while it is being described is left out.
//
// Two round trips however many windows are open. Once the connection is
// broken the list holds only the window that was active last, as known when
// it became active, so that the interval in progress can still be written.
class X11WindowList : public WindowList {
  public:
    X11WindowList(const XcbConnection& connection, const X11Atoms& atoms,
                  const X11Workspace& workspace);

    std::vector<WindowInfo> onScreenWindows() override;
    // Asks for the windows' facts a few at a time, front to back: more at
    // each step, so that a long search still takes few round trips.
    std::optional<WindowInfo> frontMostWindow(
        const std::function<bool(const WindowInfo&)>& wanted) override;

    // Top-level windows from the front to the back, on screen or not.
    std::vector<xcb_window_t> stackedWindows() const;

  private:
    std::vector<WindowInfo> lastKnownWindows() const;

    const XcbConnection& connection_;
    const X11Atoms& atoms_;
    const X11Workspace& workspace_;
};

// The on-screen windows among described ones, in the same order.
std::vector<WindowInfo> onScreenInfos(const std::vector<WindowFacts>& windows);

}  // namespace tesuko
