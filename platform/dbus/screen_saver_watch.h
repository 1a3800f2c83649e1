// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

#include "platform/dbus/lock_sources.h"
#include "platform/system_log.h"

namespace tesuko {

// What the screensavers say on the session bus: org.freedesktop.ScreenSaver
// (xscreensaver, light-locker, KDE, Xfce) and GNOME's org.gnome.ScreenSaver.
// Their signals count from any sender, since which program owns the name
// differs between desktops. A screensaver already running when this starts
// is asked whether it is active; one that is not running is never started.
class ScreenSaverWatch : public QObject {
    Q_OBJECT

  public:
    using ActiveChanged = std::function<void(LockSource source, bool active, Told how)>;

    ScreenSaverWatch(QDBusConnection bus, SystemLog& log, ActiveChanged activeChanged);

  private Q_SLOTS:
    void onActiveChanged(bool active);
    void onGnomeActiveChanged(bool active);

  private:
    void askIfActive(const QString& owner, const QString& path, const QString& interface,
                     LockSource source);

    QDBusConnection bus_;
    ActiveChanged activeChanged_;
};

}  // namespace tesuko
