// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/dbus_session_events.h"

#include <QtGlobal>
#include <string>
#include <utility>

namespace tesuko {

namespace {

std::string missing(const char* bus, const QDBusConnection& connection) {
    return std::string("No D-Bus ") + bus + " bus (" +
           connection.lastError().message().toStdString() + "): ";
}

}  // namespace

DbusSessionEvents::DbusSessionEvents(const Buses& buses, SystemLog& log, const QString& sessionId)
    : log_(log) {
    if (buses.system.isConnected()) {
        inhibitor_.emplace(buses.system, log);
        logind_.emplace(buses.system, sessionId, log,
                        LogindWatch::Handlers{[this](LockSource source, bool locked, Told how) {
                                                  setLock(source, locked, how);
                                              },
                                              [this](bool start) { prepareForSleep(start); }});
        systemLoss_.emplace(buses.system, [this] { systemBusGone(); });
        inhibitor_->take();
    } else {
        log_.warning(missing("system", buses.system) +
                     "logind's screen lock and sleep are not followed.");
    }
    if (buses.session.isConnected()) {
        screenSavers_.emplace(buses.session, log, [this](LockSource source, bool active, Told how) {
            setLock(source, active, how);
        });
        sessionLoss_.emplace(buses.session, [this] { sessionBusGone(); });
    } else {
        log_.warning(missing("session", buses.session) + "screensavers are not followed.");
    }
}

void DbusSessionEvents::subscribe(Handlers handlers) {
    handlers_ = std::move(handlers);
    if (lock_.locked() && handlers_.lockChanged) {
        handlers_.lockChanged(true);
    }
    if (sleeping_ && handlers_.sleepChanged) {
        handlers_.sleepChanged(true);
    }
}

void DbusSessionEvents::setLock(LockSource source, bool locked, Told how) {
    if (const auto changed = lock_.set(source, locked, how); changed && handlers_.lockChanged) {
        handlers_.lockChanged(*changed);
    }
}

void DbusSessionEvents::setSleeping(bool sleeping) {
    if (sleeping == sleeping_) {
        return;
    }
    sleeping_ = sleeping;
    if (handlers_.sleepChanged) {
        handlers_.sleepChanged(sleeping);
    }
}

void DbusSessionEvents::prepareForSleep(bool start) {
    // The handler writes the interval in progress, and only then may the
    // machine sleep.
    setSleeping(start);
    if (!inhibitor_) {
        return;  // the bus went away while the handler ran
    }
    if (start) {
        inhibitor_->release();
    } else {
        inhibitor_->take();
    }
}

void DbusSessionEvents::systemBusGone() {
    if (systemGone_) {
        return;
    }
    systemGone_ = true;
    log_.warning(
        "The D-Bus system bus went away: logind's screen lock and sleep are no longer followed.");
    inhibitor_.reset();
    setSleeping(false);
    setLock(LockSource::logind, false, Told::bySignal);
    setLock(LockSource::sessionInactive, false, Told::bySignal);
}

void DbusSessionEvents::sessionBusGone() {
    if (sessionGone_) {
        return;
    }
    sessionGone_ = true;
    log_.warning("The D-Bus session bus went away: screensavers are no longer followed.");
    setLock(LockSource::screenSaver, false, Told::bySignal);
    setLock(LockSource::gnomeScreenSaver, false, Told::bySignal);
}

std::unique_ptr<SessionEvents> openSessionEvents(SystemLog& log) {
    return std::make_unique<DbusSessionEvents>(
        DbusSessionEvents::Buses{QDBusConnection::systemBus(), QDBusConnection::sessionBus()}, log,
        qEnvironmentVariable("XDG_SESSION_ID"));
}

}  // namespace tesuko
