// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/screen_saver_watch.h"

#include <QDBusMessage>
#include <utility>

#include "platform/dbus/dbus_call.h"

namespace tesuko {

namespace {

struct ScreenSaver {
    const char* owner;
    const char* path;
    const char* interface;
    LockSource source;
    const char* slot;
};

// KDE sends on both of its paths; GNOME's name differs from its interface.
const ScreenSaver kScreenSavers[] = {
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
     LockSource::screenSaver, SLOT(onActiveChanged(bool))},
    {"org.freedesktop.ScreenSaver", "/ScreenSaver", "org.freedesktop.ScreenSaver",
     LockSource::screenSaver, SLOT(onActiveChanged(bool))},
    {"org.gnome.Shell.ScreenShield", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver",
     LockSource::gnomeScreenSaver, SLOT(onGnomeActiveChanged(bool))},
};

}  // namespace

ScreenSaverWatch::ScreenSaverWatch(QDBusConnection bus, SystemLog& log, ActiveChanged activeChanged)
    : bus_(std::move(bus)), activeChanged_(std::move(activeChanged)) {
    for (const ScreenSaver& saver : kScreenSavers) {
        const QString path = QString::fromLatin1(saver.path);
        const QString interface = QString::fromLatin1(saver.interface);
        if (!bus_.connect(QString(), path, interface, QStringLiteral("ActiveChanged"), this,
                          saver.slot)) {
            log.warning("Cannot follow " + interface.toStdString() + ": " +
                        bus_.lastError().message().toStdString());
            continue;
        }
        askIfActive(QString::fromLatin1(saver.owner), path, interface, saver.source);
    }
}

void ScreenSaverWatch::askIfActive(const QString& owner, const QString& path,
                                   const QString& interface, LockSource source) {
    const DbusCall hasOwner{QStringLiteral("org.freedesktop.DBus"),
                            QStringLiteral("/org/freedesktop/DBus"),
                            QStringLiteral("org.freedesktop.DBus"),
                            QStringLiteral("NameHasOwner"),
                            {owner}};
    callAsync(bus_, hasOwner, *this, [=, this](const QDBusMessage& reply) {
        if (!firstArgument(reply).toBool()) {
            return;
        }
        const DbusCall getActive{owner, path, interface, QStringLiteral("GetActive")};
        callAsync(bus_, getActive, *this, [this, source](const QDBusMessage& answer) {
            const QVariant active = firstArgument(answer);
            if (active.typeId() == QMetaType::Bool) {
                activeChanged_(source, active.toBool(), Told::byAnswer);
            }
        });
    });
}

void ScreenSaverWatch::onActiveChanged(bool active) {
    activeChanged_(LockSource::screenSaver, active, Told::bySignal);
}

void ScreenSaverWatch::onGnomeActiveChanged(bool active) {
    activeChanged_(LockSource::gnomeScreenSaver, active, Told::bySignal);
}

}  // namespace tesuko
