// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "platform/dbus/lock_sources.h"
#include "platform/system_log.h"

namespace tesuko {

// What the screensavers say on the session bus: org.freedesktop.ScreenSaver
// (xscreensaver, light-locker, KDE, Xfce) and GNOME's org.gnome.ScreenSaver.
// Anyone on the session bus may send their signals, so a signal counts only
// from the owner of a screensaver's name; anyone else's makes this ask the
// screensaver itself. A screensaver is asked whether it is active when this
// starts and whenever its owner changes; one that is not running is never
// started, and one that left the bus counts as inactive.
class ScreenSaverWatch : public QObject {
    Q_OBJECT

  public:
    using ActiveChanged = std::function<void(LockSource source, bool active, Told how)>;

    ScreenSaverWatch(QDBusConnection bus, SystemLog& log, ActiveChanged activeChanged);

  private Q_SLOTS:
    void onActiveChanged(bool active, const QDBusMessage& signal);
    void onGnomeActiveChanged(bool active, const QDBusMessage& signal);
    void onOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

  private:
    struct ScreenSaver {
        LockSource source;
        QStringList names;  // whose owners speak for it; the first owned one is asked
        QStringList paths;
        QString interface;
        unsigned taken = 0;  // signals and owner changes so far: an answer asked before is stale
        bool asking = false;
    };

    void take(ScreenSaver& saver, bool active, const QDBusMessage& signal);
    void ask(ScreenSaver& saver);
    QString ownerOf(const ScreenSaver& saver) const;

    QDBusConnection bus_;
    SystemLog& log_;
    ActiveChanged activeChanged_;
    std::array<ScreenSaver, 2> savers_;
    QDBusServiceWatcher ownerWatch_;
    QHash<QString, QString> owners_;  // a name's unique owner; empty when it has none
    QSet<QString> strangers_;         // the senders already logged
};

}  // namespace tesuko
