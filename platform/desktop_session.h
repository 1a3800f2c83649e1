// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop_notice.h"
#include "platform/file_system.h"
#include "platform/idle_watch.h"
#include "platform/input_monitors.h"
#include "platform/system_log.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

namespace tesuko {

// The desktop the tray program watches, over a connection of its own: the
// application in front and its switches, the windows on screen, the input
// that goes to other applications and how long there has been none.
//
// No threads. A backend with a socket of its own offers it as fd(): the owner
// watches it on its main loop and calls processEvents() whenever it is
// readable and before the loop blocks (replies read on the way may leave
// events queued with nothing on the socket to wake the loop). Switch and
// monitor handlers run inside processEvents(). A backend whose events come
// through the Qt main loop by themselves (over QtDBus, say) has no fd().
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

    virtual std::optional<int> fd() const = 0;
    virtual void processEvents() = 0;

    virtual Workspace& workspace() = 0;
    virtual WindowList& windowList() = 0;
    virtual InputMonitors& inputMonitors() = 0;
    virtual IdleWatch& idleWatch() = 0;

    // Whether the desktop went away: this session's connection broke, or the
    // GUI toolkit's own connection to the same desktop did. The toolkit ends
    // the process when its connection breaks, maybe before ours noticed.
    virtual bool connectionLost() const = 0;
    virtual void onConnectionLost(ConnectionLostHandler handler) = 0;

    // What the user should know about watching this desktop, for the tray's
    // tooltip: that the desktop needs something enabled first, say. Read
    // once the session is open.
    virtual std::optional<DesktopNotice> notice() const { return std::nullopt; }
};

struct OpenedDesktopSession {
    std::unique_ptr<DesktopSession> session;  // null when there is no desktop to watch
    std::string error;                        // why, in words for the user
};

// The desktop the environment names, through the first backend built in that
// reaches it: under Wayland the wlroots, KWin and GNOME backends in turn, X11
// when there is no Wayland display. TESUKO_BACKEND=wlr|kwin|gnome|x11 names
// the one to use. Needs the Qt application: some backends talk over QtDBus.
OpenedDesktopSession openDesktopSession(SystemLog& systemLog, FileSystem& files);

}  // namespace tesuko
