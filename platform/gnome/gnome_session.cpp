// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gnome/gnome_session.h"

#include <chrono>
#include <utility>

#include "platform/desktop/desktop_backends.h"
#include "platform/gnome/extension_setup.h"
#include "platform/gnome/gnome_shell.h"

namespace tesuko {

namespace {

// The extension reports at once when tesuko appears on the bus.
constexpr std::chrono::milliseconds kFirstReportWait{1000};

}  // namespace

OpenedDesktopSession openGnomeSession(SystemLog& systemLog, FileSystem& files) {
    return GnomeSession::open(QDBusConnection::sessionBus(), systemLog, files);
}

OpenedDesktopSession GnomeSession::open(QDBusConnection bus, SystemLog& systemLog,
                                        FileSystem& files) {
    if (!bus.isConnected()) {
        return {nullptr, "there is no session bus"};
    }
    const GnomeShell shell(bus);
    if (!shell.running()) {
        return {nullptr, "GNOME Shell is not on the session bus"};
    }
    ReportedDesktop::Started started = ReportedDesktop::start(bus, kGnomeShellService, systemLog);
    if (!started.desktop) {
        return {nullptr, started.error};
    }
    const std::optional<DesktopNotice> notice = setUpExtension(shell, systemLog, files);
    if (!notice && !started.desktop->waitForFirstReport(kFirstReportWait)) {
        systemLog.warning(
            "tesuko's GNOME Shell extension has not reported yet: switches are "
            "recorded once it does");
    }
    return {std::make_unique<GnomeSession>(std::move(started.desktop), std::move(bus), notice), ""};
}

GnomeSession::GnomeSession(std::unique_ptr<ReportedDesktop> desktop, QDBusConnection bus,
                           std::optional<DesktopNotice> notice)
    : desktop_(std::move(desktop)), idleWatch_(std::move(bus)), notice_(std::move(notice)) {}

}  // namespace tesuko
