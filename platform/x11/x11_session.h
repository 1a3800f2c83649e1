#pragma once

#include <sys/types.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/input_monitors.h"
#include "platform/system_log.h"
#include "platform/window_list.h"
#include "platform/workspace.h"
#include "platform/x11/display_target.h"
#include "platform/x11/own_input_filter.h"
#include "platform/x11/server_clock.h"
#include "platform/x11/x11_atoms.h"
#include "platform/x11/x11_input_monitors.h"
#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_workspace.h"
#include "platform/x11/xcb_connection.h"

namespace tesuko {

class X11Session;

struct X11Opened {
    std::unique_ptr<X11Session> session;  // null when there is no X server to talk to
    std::string error;                    // why, in words for the user
};

// The X11 desktop services over one xcb connection of their own: the
// workspace (application switches), the on-screen window list and the global
// input monitors.
//
// No threads and no timers: the owner watches fd() for input on its main loop
// (a QSocketNotifier, say) and calls processEvents() whenever it is readable.
// processEvents() handles every queued event and returns with none left in
// xcb's queue, so the next wake-up comes from the socket again. Deactivation
// and monitor handlers run inside it; should one of them run a nested main
// loop that calls processEvents() again, that inner call only reads the
// socket and the outer call handles what it read.
//
// Switches are timed by the server's stamps on its events (see ServerClock),
// so a processEvents() that comes late does not make them late; opening the
// session reads the server's clock once, with a round trip.
//
// When the X server goes away (the session ends), processEvents() notices,
// connectionLost() turns true and the handler given to onConnectionLost runs
// once. From then on processEvents() does nothing and fd() stays readable, so
// stop watching it; the window list still offers the window that was active
// last, so that the interval in progress can be written before the program
// exits.
class X11Session {
  public:
    using ConnectionLostHandler = std::function<void()>;

    // Connects to the display the target names. ownPid decides which windows
    // count as this program's own for the input monitors.
    static X11Opened open(const DisplayTarget& target, SystemLog& systemLog,
                          pid_t ownPid = ::getpid());

    X11Session(XcbConnection connection, SystemLog& systemLog, pid_t ownPid);
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    int fd() const { return connection_.fd(); }
    void processEvents();

    bool connectionLost() const { return connectionLost_; }
    void onConnectionLost(ConnectionLostHandler handler) { lostHandler_ = std::move(handler); }

    Workspace& workspace() { return workspace_; }
    WindowList& windowList() { return windowList_; }
    InputMonitors& inputMonitors() { return inputMonitors_; }
    bool countsInput() const { return inputMonitors_.available(); }

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
    std::array<EventHandler, 128> handlers_;
    ConnectionLostHandler lostHandler_;
    bool connectionLost_ = false;
    bool processing_ = false;
    bool unsettled_ = false;  // events dispatched since the last settle
};

}  // namespace tesuko
