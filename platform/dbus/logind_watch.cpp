// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/logind_watch.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <optional>
#include <utility>

#include "platform/dbus/dbus_call.h"
#include "platform/dbus/logind_names.h"
#include "platform/dbus/logind_session_finder.h"

namespace tesuko {

LogindWatch::LogindWatch(QDBusConnection bus, const QString& sessionId, SystemLog& log,
                         Handlers handlers)
    : bus_(std::move(bus)), log_(log), handlers_(std::move(handlers)) {
    if (!bus_.connect(logind::service, logind::managerPath, logind::manager,
                      QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)))) {
        log_.warning("Cannot follow sleep on the system bus: " +
                     bus_.lastError().message().toStdString());
    }
    findLogindSession(bus_, sessionId, *this, [this](std::optional<QString> path) {
        if (path) {
            watchSession(*path);
        } else if (bus_.isConnected()) {  // a lost bus has had its warning
            log_.info("logind knows no session of this program: only screensavers tell of a lock.");
        }
    });
}

void LogindWatch::watchSession(const QString& path) {
    log_.info("Following the logind session " + path.toStdString());
    const bool watching =
        bus_.connect(logind::service, path, logind::session, QStringLiteral("Lock"), this,
                     SLOT(onLock())) &&
        bus_.connect(logind::service, path, logind::session, QStringLiteral("Unlock"), this,
                     SLOT(onUnlock())) &&
        bus_.connect(logind::service, path, logind::properties, QStringLiteral("PropertiesChanged"),
                     this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    if (!watching) {
        log_.warning("Cannot follow the logind session: " +
                     bus_.lastError().message().toStdString());
        return;
    }
    // Read after the signals are connected, so that no change falls in between.
    const DbusCall getAll{
        logind::service, path, logind::properties, QStringLiteral("GetAll"), {logind::session}};
    callAsync(bus_, getAll, *this, [this](const QDBusMessage& reply) {
        const QVariant properties = firstArgument(reply);
        if (properties.canConvert<QDBusArgument>()) {
            take(qdbus_cast<QVariantMap>(properties), Told::byAnswer);
        }
    });
}

void LogindWatch::take(const QVariantMap& properties, Told how) {
    if (const auto hint = properties.find(QStringLiteral("LockedHint")); hint != properties.end()) {
        handlers_.lockChanged(LockSource::logind, hint->toBool(), how);
    }
    // A session switched away from (another user's, a text console) is as
    // good as locked: the user works elsewhere.
    if (const auto active = properties.find(QStringLiteral("Active")); active != properties.end()) {
        handlers_.lockChanged(LockSource::sessionInactive, !active->toBool(), how);
    }
}

void LogindWatch::onLock() {
    handlers_.lockChanged(LockSource::logind, true, Told::bySignal);
}

void LogindWatch::onUnlock() {
    handlers_.lockChanged(LockSource::logind, false, Told::bySignal);
}

void LogindWatch::onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                      const QStringList& /*invalidated*/) {
    if (interface == logind::session) {
        take(changed, Told::bySignal);
    }
}

void LogindWatch::onPrepareForSleep(bool start) {
    handlers_.prepareForSleep(start);
}

}  // namespace tesuko
