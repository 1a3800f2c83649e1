// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <utility>

#include "platform/desktop_session.h"
#include "platform/system_log.h"
#include "platform/x11/display_target.h"
#include "platform/x11/own_input_filter.h"
#include "platform/x11/server_clock.h"
#include "platform/x11/x11_atoms.h"
#include "platform/x11/x11_idle_watch.h"
#include "platform/x11/x11_input_monitors.h"
#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_workspace.h"
#include "platform/x11/xcb_connection.h"

namespace tesuko {

// The X11 desktop over one xcb connection of its own: the workspace (the
// window in _NET_ACTIVE_WINDOW), the on-screen window list, the global
// input monitors over XInput 2 and idle time over MIT-SCREEN-SAVER.
//
// processEvents() handles every queued event and returns with none left in
// xcb's queue, so the next wake-up comes from the socket again. Should a
// handler run a nested main loop that calls processEvents() again, that inner
// call only reads the socket and the outer call handles what it read.
//
// Switches are timed by the server's stamps on its events (see ServerClock),
// so a processEvents() that comes late does not make them late; opening the
// session reads the server's clock once, with a round trip.
//
// The connection counts as lost once ours broke, or once Qt's own connection
// to the display did: Qt then ends the process with exit(1), and the front
// end's exit handler asks.
class X11Session : public DesktopSession {
  public:
    // Connects to the display the target names. ownPid decides which windows
    // count as this program's own for the input monitors.
    static OpenedDesktopSession open(const DisplayTarget& target, SystemLog& systemLog,
                                     pid_t ownPid = ::getpid());

    X11Session(XcbConnection connection, SystemLog& systemLog, pid_t ownPid);
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    std::optional<int> fd() const override { return connection_.fd(); }
    void processEvents() override;

    Workspace& workspace() override { return workspace_; }
    WindowList& windowList() override { return windowList_; }
    InputMonitors& inputMonitors() override { return inputMonitors_; }
    IdleWatch& idleWatch() override { return idleWatch_; }

    bool connectionLost() const override;
    void onConnectionLost(ConnectionLostHandler handler) override {
        lostHandler_ = std::move(handler);
    }

  private:
    using EventHandler = void (X11Session::*)(const xcb_generic_event_t&);

    static constexpr std::chrono::milliseconds kBurstWait{30};

    static std::array<EventHandler, 128> eventTable();
    static bool selectRootEvents(const XcbConnection& connection);
    void readServerClock();
    void handleEvents();
    // Dispatches events while there are any; the source reads the socket or
    // only xcb's queue.
    void drain(xcb_generic_event_t* (*source)(xcb_connection_t*));
    void settle();
    void waitForBurst();
    void noticeBrokenConnection();

    void onPropertyNotify(const xcb_generic_event_t& event);
    void onMapNotify(const xcb_generic_event_t& event);
    void onUnmapNotify(const xcb_generic_event_t& event);
    void onDestroyNotify(const xcb_generic_event_t& event);
    void onMappingNotify(const xcb_generic_event_t& event);
    void onGenericEvent(const xcb_generic_event_t& event);

    XcbConnection connection_;
    X11Atoms atoms_;
    bool rootEventsSelected_;  // before the workspace reads its first state
    ServerClock serverClock_;
    X11Workspace workspace_;
    X11WindowList windowList_;
    OwnInputFilter ownInput_;
    X11InputMonitors inputMonitors_;
    X11IdleWatch idleWatch_;
    std::array<EventHandler, 128> handlers_;
    ConnectionLostHandler lostHandler_;
    bool connectionLost_ = false;
    bool processing_ = false;
    bool unsettled_ = false;  // events dispatched since the last settle
};

}  // namespace tesuko
