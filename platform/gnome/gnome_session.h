// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <memory>
#include <optional>
#include <string>

#include "platform/dbus_report/reported_desktop.h"
#include "platform/desktop_session.h"
#include "platform/gnome/mutter_idle_watch.h"
#include "platform/system_log.h"

namespace tesuko {

// GNOME under Wayland, where no protocol tells an ordinary client the focused
// window and the Shell keeps its own window list to itself: tesuko's Shell
// extension reports it over D-Bus to the desktop we export (see
// extension_setup.h for how the extension gets there). Idle time comes from
// Mutter's idle monitor.
class GnomeSession : public DesktopSession {
  public:
    // Needs GNOME Shell on the session bus of `bus`; in `error`, why it cannot start.
    static OpenedDesktopSession open(QDBusConnection bus, SystemLog& systemLog, FileSystem& files);

    GnomeSession(std::unique_ptr<ReportedDesktop> desktop, QDBusConnection bus,
                 std::optional<DesktopNotice> notice);

    std::optional<int> fd() const override { return std::nullopt; }
    void processEvents() override {}

    Workspace& workspace() override { return desktop_->workspace(); }
    WindowList& windowList() override { return desktop_->windowList(); }
    InputMonitors& inputMonitors() override { return desktop_->inputMonitors(); }
    IdleWatch& idleWatch() override { return idleWatch_; }

    bool connectionLost() const override { return desktop_->connectionLost(); }
    void onConnectionLost(ConnectionLostHandler handler) override {
        desktop_->onConnectionLost(std::move(handler));
    }
    std::optional<DesktopNotice> notice() const override { return notice_; }

  private:
    std::unique_ptr<ReportedDesktop> desktop_;
    MutterIdleWatch idleWatch_;
    std::optional<DesktopNotice> notice_;
};

}  // namespace tesuko
