// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/workspace.h"
#include "platform/x11/activation_tracker.h"
#include "platform/x11/x11_atoms.h"
#include "platform/x11/xcb_connection.h"

namespace tesuko {

// The application in front is the application of the window in
// _NET_ACTIVE_WINDOW on the root: its WM_CLASS class, else the name of the
// process in its _NET_WM_PID. The session selects property changes on the
// root and tells this object when that property changed; the property is
// then read once every queued event has been handled, so that a burst of
// changes counts by where it ends.
//
// Switches: one for every change of application, never for a move between
// windows of one application. Window managers clear the property for a
// moment between two windows (openbox sets 0, then the next window); a 0 is
// taken as the end of a burst only after the events that follow it closely
// have been read (see `refresh`). A switch's time is that of the first change
// it accounts for: when the application it leaves stopped being active,
// however long the changes waited to be read.
class X11Workspace : public Workspace {
  public:
    // Waits a short, bounded moment for more events and handles them.
    using BurstWait = std::function<void()>;

    // Reads the window active now without notifying anyone.
    X11Workspace(const XcbConnection& connection, const X11Atoms& atoms);

    std::optional<std::string> activeApplication() override;
    void subscribeSwitches(SwitchHandler handler) override;
    void unsubscribeSwitches() override;

    const ActiveWindow& activeWindow() const { return tracker_.current(); }

    // The session's side: the property changed at that moment.
    void noteActiveWindowChanged(std::chrono::steady_clock::time_point at);
    bool stale() const { return stale_; }
    // Reads the active window again and posts the switch, if there is one.
    void refresh(const BurstWait& waitForBurst);

  private:
    xcb_window_t readActiveWindow() const;
    ActiveWindow describe(xcb_window_t window) const;

    const XcbConnection& connection_;
    const X11Atoms& atoms_;
    ActivationTracker tracker_;
    SwitchHandler handler_;
    bool stale_ = false;
    // The first change since the property was last read.
    std::optional<std::chrono::steady_clock::time_point> changedAt_;
};

}  // namespace tesuko
