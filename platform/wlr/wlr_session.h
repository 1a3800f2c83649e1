// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>

#include "platform/desktop_session.h"
#include "platform/system_log.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_idle_watch.h"
#include "platform/wlr/foreign_toplevels.h"
#include "platform/wlr/no_input_monitors.h"
#include "platform/wlr/wlr_window_list.h"
#include "platform/wlr/wlr_workspace.h"

namespace tesuko {

// A wlroots desktop (sway, labwc, Hyprland, river, wayfire) over a Wayland
// connection of our own: the windows from zwlr_foreign_toplevel_manager_v1,
// idle time from the compositor's idle protocol. No input monitors: Wayland
// shows no client the input that goes to others.
//
// A focus change comes as a batch ("A is no longer activated, done; B is
// activated, done"), so what is in front is looked at only once every event
// read has been dispatched. When nothing is in front then, the events that
// follow within a moment are waited for: a window that comes right after
// none makes one switch. A switch is timed by when its first event was read.
// Windows closed together with the hang-up stay listed: the compositor closes
// them all as it shuts down, and the interval in progress needs its title.
class WlrSession : public DesktopSession {
  public:
    // Connects to the display WAYLAND_DISPLAY names.
    static OpenedDesktopSession open(SystemLog& systemLog);

    WlrSession(std::unique_ptr<WaylandConnection> connection,
               zwlr_foreign_toplevel_manager_v1* manager);
    WlrSession(const WlrSession&) = delete;
    WlrSession& operator=(const WlrSession&) = delete;

    std::optional<int> fd() const override { return connection_->fd(); }
    void processEvents() override;

    Workspace& workspace() override { return workspace_; }
    WindowList& windowList() override { return windowList_; }
    InputMonitors& inputMonitors() override { return inputMonitors_; }
    IdleWatch& idleWatch() override { return idleWatch_; }

    // Also true while a handler runs, before the handler for the loss: the
    // program's exit handler asks from wherever the process ends.
    bool connectionLost() const override { return connectionLost_ || connection_->broken(); }
    void onConnectionLost(ConnectionLostHandler handler) override {
        lostHandler_ = std::move(handler);
    }

  private:
    static constexpr std::chrono::milliseconds kBurstWait{30};

    void settle();
    void settleClosedWindows();
    void waitForBurst();
    void noticeBrokenConnection();

    std::unique_ptr<WaylandConnection> connection_;
    ForeignToplevels toplevels_;
    WlrWorkspace workspace_;
    WlrWindowList windowList_;
    NoInputMonitors inputMonitors_;
    WaylandIdleWatch idleWatch_;
    ConnectionLostHandler lostHandler_;
    bool connectionLost_ = false;
    bool processing_ = false;
};

}  // namespace tesuko
