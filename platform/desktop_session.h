#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/input_monitors.h"
#include "platform/system_log.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

namespace tesuko {

// The desktop the tray program watches, over a connection of its own: the
// application in front and its switches, the windows on screen and the input
// that goes to other applications.
//
// No threads and no timers: the owner watches fd() on its main loop and calls
// processEvents() whenever it is readable and before the loop blocks (replies
// read on the way may leave events queued with nothing on the socket to wake
// the loop). Switch and monitor handlers run inside processEvents().
//
// The desktop goes away when the session ends. Once processEvents() notices,
// connectionLost() turns true and the handler given to onConnectionLost runs
// once; from then on processEvents() does nothing and fd() may stay readable,
// so stop watching it. The window list still offers the window that was
// active last, so that the interval in progress can be written before the
// program exits.
class DesktopSession {
  public:
    using ConnectionLostHandler = std::function<void()>;

    virtual ~DesktopSession() = default;

    virtual int fd() const = 0;
    virtual void processEvents() = 0;

    virtual Workspace& workspace() = 0;
    virtual WindowList& windowList() = 0;
    // Where input cannot be counted, monitors can be installed and never run.
    virtual InputMonitors& inputMonitors() = 0;
    virtual bool countsInput() const = 0;

    // Whether the desktop went away: this session's connection broke, or the
    // GUI toolkit's own connection to the same desktop did. The toolkit ends
    // the process when its connection breaks, maybe before ours noticed.
    virtual bool connectionLost() const = 0;
    virtual void onConnectionLost(ConnectionLostHandler handler) = 0;
};

struct OpenedDesktopSession {
    std::unique_ptr<DesktopSession> session;  // null when there is no desktop to watch
    std::string error;                        // why, in words for the user
};

// The desktop the environment names, through the first backend built in that
// reaches it.
OpenedDesktopSession openDesktopSession(SystemLog& systemLog);

}  // namespace tesuko
