// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <memory>
#include <optional>

#include "platform/dbus/bus_loss_watch.h"
#include "platform/dbus/lock_sources.h"
#include "platform/dbus/logind_watch.h"
#include "platform/dbus/screen_saver_watch.h"
#include "platform/dbus/sleep_inhibitor.h"
#include "platform/session_events.h"
#include "platform/system_log.h"

namespace tesuko {

// Screen lock and sleep over D-Bus, on the main loop. logind on the system
// bus tells of the session's lock and of sleep; a delay inhibitor holds the
// sleep back until the handler for it returned. The screensavers on the
// session bus tell of their lock too; the screen counts as locked while any
// source says so. A bus that is missing or goes away counts as unlocked and
// awake from then on, with one warning in the system log: recording goes on.
class DbusSessionEvents : public SessionEvents {
  public:
    struct Buses {
        QDBusConnection system;
        QDBusConnection session;
    };

    // `sessionId` is $XDG_SESSION_ID: see findLogindSession.
    DbusSessionEvents(const Buses& buses, SystemLog& log, const QString& sessionId);
    DbusSessionEvents(const DbusSessionEvents&) = delete;
    DbusSessionEvents& operator=(const DbusSessionEvents&) = delete;

    // Tells the new handlers at once of a lock or sleep under way.
    void subscribe(Handlers handlers) override;

  private:
    void setLock(LockSource source, bool locked, Told how);
    void setSleeping(bool sleeping);
    void prepareForSleep(bool start);
    void systemBusGone();
    void sessionBusGone();

    SystemLog& log_;
    Handlers handlers_;
    LockSources lock_;
    bool sleeping_ = false;
    bool systemGone_ = false;
    bool sessionGone_ = false;
    // Empty while the system bus is missing or gone.
    std::optional<SleepInhibitor> inhibitor_;
    // Empty while their bus is missing. They stay after it went away: a lost
    // connection delivers nothing more, and a watch may be in the middle of a
    // handler that noticed the loss in a nested event loop.
    std::optional<LogindWatch> logind_;
    std::optional<ScreenSaverWatch> screenSavers_;
    std::optional<BusLossWatch> systemLoss_;
    std::optional<BusLossWatch> sessionLoss_;
};

}  // namespace tesuko
