// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

#include "platform/dbus/lock_sources.h"
#include "platform/system_log.h"

namespace tesuko {

// What logind says on the system bus: that this program's session locked,
// unlocked or was switched away from, and that the machine is about to sleep
// or woke up. Signals count only from logind itself: anyone may send signals
// on the system bus.
class LogindWatch : public QObject {
    Q_OBJECT

  public:
    struct Handlers {
        std::function<void(LockSource source, bool locked, Told how)> lockChanged;
        std::function<void(bool start)> prepareForSleep;
    };

    // Watches sleep at once and the session once it is found; `sessionId` as
    // for findLogindSession.
    LogindWatch(QDBusConnection bus, const QString& sessionId, SystemLog& log, Handlers handlers);

  private Q_SLOTS:
    void onLock();
    void onUnlock();
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);
    void onPrepareForSleep(bool start);

  private:
    void watchSession(const QString& path);
    void take(const QVariantMap& properties, Told how);

    QDBusConnection bus_;
    SystemLog& log_;
    Handlers handlers_;
};

}  // namespace tesuko
