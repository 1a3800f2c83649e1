// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>

#include "platform/dbus_report/reported_desktop.h"
#include "platform/desktop_session.h"
#include "platform/kwin/kwin_scripting.h"
#include "platform/kwin/private_file.h"
#include "platform/system_log.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_idle_watch.h"

namespace tesuko {

// KDE Plasma under Wayland, where no protocol tells an ordinary client the
// active window: a script of ours runs inside KWin and reports it over D-Bus
// (report_active_window.js) to the desktop we export. The script is unloaded
// when the session ends.
//
// Idle time comes over a Wayland connection of our own, when there is one:
// its socket is fd(), and its events are read in processEvents().
class KwinSession : public DesktopSession {
  public:
    // Needs KWin on the session bus of `bus`; in `error`, why it cannot start.
    static OpenedDesktopSession open(QDBusConnection bus, SystemLog& systemLog, FileSystem& files);

    KwinSession(std::unique_ptr<ReportedDesktop> desktop, PrivateFile scriptFile,
                std::unique_ptr<KwinScript> script, std::unique_ptr<WaylandConnection> wayland);

    // The script's name in KWin, and whether it reported yet.
    const QString& pluginName() const { return script_->pluginName(); }
    bool reported() const { return desktop_->reported(); }

    std::optional<int> fd() const override;
    void processEvents() override;

    Workspace& workspace() override { return desktop_->workspace(); }
    WindowList& windowList() override { return desktop_->windowList(); }
    InputMonitors& inputMonitors() override { return desktop_->inputMonitors(); }
    IdleWatch& idleWatch() override;

    bool connectionLost() const override { return desktop_->connectionLost(); }
    void onConnectionLost(ConnectionLostHandler handler) override {
        desktop_->onConnectionLost(std::move(handler));
    }

  private:
    // Waits briefly for the script's first report, so that the application in
    // front is known before recording starts; KWin has read the file by then.
    void awaitFirstReport(SystemLog& systemLog);

    std::unique_ptr<ReportedDesktop> desktop_;
    std::unique_ptr<WaylandConnection> wayland_;  // null without WAYLAND_DISPLAY
    std::optional<WaylandIdleWatch> idleWatch_;
    std::optional<PrivateFile> scriptFile_;
    std::unique_ptr<KwinScript> script_;  // unloaded before the desktop stops listening
};

}  // namespace tesuko
