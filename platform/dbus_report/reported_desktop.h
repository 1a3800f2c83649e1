// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/dbus_report/desktop_report_receiver.h"
#include "platform/dbus_report/reported_window_list.h"
#include "platform/dbus_report/reported_workspace.h"
#include "platform/dbus_report/unavailable_input.h"
#include "platform/desktop_session.h"
#include "platform/system_log.h"

namespace tesuko {

// A desktop whose compositor tells us the active window itself: a script or
// extension of ours running inside it calls
//   ActiveWindowChanged(s appId, s title, u pid)
// on bus::desktopPath, interface bus::desktopInterface, under the name
// bus::service, at every activation and every title change of the active
// window (an empty appId when none is active, pid 0 when unknown). The pid
// may come as an int32 (KWin's scripts know no other integer), and a fourth
// argument, d, may stamp the change in milliseconds since the epoch
// (JavaScript's Date.now()): then a late main loop does not make it late.
//
// Only calls from the current owner of the compositor's well-known name
// (org.kde.KWin, org.gnome.Shell) count: anyone on the session bus may call
// us, and anyone else is refused with a D-Bus error. The session is lost when
// that name loses its owner or the bus drops us.
//
// Events come through the Qt main loop: no fd(), and processEvents() has
// nothing to do. No input monitors and no idle watch: a backend that has
// another way to idle time offers it in its own session.
class ReportedDesktop : public DesktopSession {
  public:
    struct Started {
        std::unique_ptr<ReportedDesktop> desktop;  // null when it could not listen
        std::string error;                         // why, in words for the user
    };

    // Exports the object and owns bus::service on `bus`. The program may
    // export its own object under the same name on the same connection.
    // Reports of no active window wait `noneHeldFor` for a window to follow.
    static Started start(QDBusConnection bus, const QString& compositorName, SystemLog& systemLog,
                         std::chrono::milliseconds noneHeldFor = ReportedWorkspace::kNoneHeldFor);

    ReportedDesktop(QDBusConnection bus, const QString& compositorName, SystemLog& systemLog,
                    std::chrono::milliseconds noneHeldFor = ReportedWorkspace::kNoneHeldFor);
    ~ReportedDesktop() override = default;
    ReportedDesktop(const ReportedDesktop&) = delete;
    ReportedDesktop& operator=(const ReportedDesktop&) = delete;

    // Why the constructor could not export the object or own the name.
    const std::optional<std::string>& listenError() const { return listenError_; }
    // Whether the compositor reported anything yet.
    bool reported() const { return receiver_.reported(); }
    // Runs the main loop until the first report comes or the time is up;
    // whether it came.
    bool waitForFirstReport(std::chrono::milliseconds timeout);

    // The backend's other connection to the same desktop broke: the session
    // is lost all the same, once.
    void lose(const std::string& why);

    std::optional<int> fd() const override { return std::nullopt; }
    void processEvents() override {}

    Workspace& workspace() override { return workspace_; }
    WindowList& windowList() override { return windowList_; }
    InputMonitors& inputMonitors() override { return inputMonitors_; }
    IdleWatch& idleWatch() override { return idleWatch_; }

    bool connectionLost() const override { return connectionLost_; }
    void onConnectionLost(ConnectionLostHandler handler) override;

  private:
    void takeReport(const DesktopReport& report);

    SystemLog& systemLog_;
    bool connectionLost_ = false;
    ConnectionLostHandler lostHandler_;
    std::function<void()> wake_;  // ends a wait for the first report
    ReportedWindowList windowList_;
    ReportedWorkspace workspace_;
    UnavailableInputMonitors inputMonitors_;
    UnavailableIdleWatch idleWatch_;
    DesktopReportReceiver receiver_;
    std::optional<std::string> listenError_;
};

}  // namespace tesuko
