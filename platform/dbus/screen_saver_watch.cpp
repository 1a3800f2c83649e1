// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/screen_saver_watch.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <algorithm>
#include <utility>

#include "platform/dbus/dbus_call.h"

namespace tesuko {

namespace {

// Lines about strangers' signals stop here: a sender on a loop must not fill
// the system log.
constexpr qsizetype kMostStrangersLogged = 16;

QString currentOwner(const QDBusConnection& bus, const QString& name) {
    QDBusConnectionInterface* daemon = bus.interface();
    if (daemon == nullptr) {
        return {};
    }
    // Asks the bus itself, which never starts a program for a name.
    const QDBusReply<QString> owner = daemon->serviceOwner(name);
    return owner.isValid() ? owner.value() : QString();
}

}  // namespace

ScreenSaverWatch::ScreenSaverWatch(QDBusConnection bus, SystemLog& log, ActiveChanged activeChanged)
    : bus_(std::move(bus)),
      log_(log),
      activeChanged_(std::move(activeChanged)),
      // KDE sends on both of its paths. GNOME Shell serves the object under a
      // name of its own, and org.gnome.ScreenSaver belongs to a helper started
      // on demand that passes the shell's signals on; Phosh and Pantheon own
      // that name themselves.
      savers_{ScreenSaver{
                  LockSource::screenSaver,
                  {QStringLiteral("org.freedesktop.ScreenSaver")},
                  {QStringLiteral("/org/freedesktop/ScreenSaver"), QStringLiteral("/ScreenSaver")},
                  QStringLiteral("org.freedesktop.ScreenSaver")},
              ScreenSaver{LockSource::gnomeScreenSaver,
                          {QStringLiteral("org.gnome.Shell.ScreenShield"),
                           QStringLiteral("org.gnome.ScreenSaver")},
                          {QStringLiteral("/org/gnome/ScreenSaver")},
                          QStringLiteral("org.gnome.ScreenSaver")}},
      ownerWatch_(QString(), bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&ownerWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &ScreenSaverWatch::onOwnerChanged);
    const char* const slotOf[] = {SLOT(onActiveChanged(bool, QDBusMessage)),
                                  SLOT(onGnomeActiveChanged(bool, QDBusMessage))};
    for (std::size_t i = 0; i < savers_.size(); ++i) {
        ScreenSaver& saver = savers_[i];
        for (const QString& name : saver.names) {
            ownerWatch_.addWatchedService(name);
            owners_[name] = currentOwner(bus_, name);  // once watched: no change falls in between
        }
        // Everyone's signals, so that a stranger's makes this ask.
        bool following = true;
        for (const QString& path : saver.paths) {
            following = bus_.connect(QString(), path, saver.interface,
                                     QStringLiteral("ActiveChanged"), this, slotOf[i]) &&
                        following;
        }
        if (!following) {
            log_.warning("Cannot follow " + saver.interface.toStdString() + ": " +
                         bus_.lastError().message().toStdString());
            continue;
        }
        ask(saver);
    }
}

QString ScreenSaverWatch::ownerOf(const ScreenSaver& saver) const {
    for (const QString& name : saver.names) {
        if (const QString owner = owners_.value(name); !owner.isEmpty()) {
            return owner;
        }
    }
    return {};
}

void ScreenSaverWatch::ask(ScreenSaver& saver) {
    const QString owner = ownerOf(saver);
    if (owner.isEmpty()) {
        return;
    }
    saver.asking = true;
    for (const QString& path : saver.paths) {
        const DbusCall getActive{owner, path, saver.interface, QStringLiteral("GetActive")};
        callAsync(bus_, getActive, *this,
                  [this, &saver, asked = saver.taken](const QDBusMessage& answer) {
                      saver.asking = false;
                      // QtDBus may deliver the answer after a signal sent
                      // later, and a new owner may say otherwise.
                      const QVariant active = firstArgument(answer);
                      if (saver.taken == asked && active.typeId() == QMetaType::Bool) {
                          activeChanged_(saver.source, active.toBool(), Told::byFreshAnswer);
                      }
                  });
    }
}

void ScreenSaverWatch::take(ScreenSaver& saver, bool active, const QDBusMessage& signal) {
    const QString sender = signal.service();
    const auto owns = [&](const QString& name) { return owners_.value(name) == sender; };
    const bool fromOwner = !sender.isEmpty() && std::ranges::any_of(saver.names, owns);
    if (fromOwner) {
        ++saver.taken;
        activeChanged_(saver.source, active, Told::bySignal);
        return;
    }
    if (!strangers_.contains(sender) && strangers_.size() < kMostStrangersLogged) {
        strangers_.insert(sender);
        log_.info("Asked the screensaver itself after a signal from " + sender.toStdString() +
                  ", which does not own " + saver.names.join(" or ").toStdString());
    }
    if (!saver.asking) {  // one question at a time, whatever a stranger sends
        ask(saver);
    }
}

void ScreenSaverWatch::onActiveChanged(bool active, const QDBusMessage& signal) {
    take(savers_[0], active, signal);
}

void ScreenSaverWatch::onGnomeActiveChanged(bool active, const QDBusMessage& signal) {
    take(savers_[1], active, signal);
}

void ScreenSaverWatch::onOwnerChanged(const QString& name, const QString& /*oldOwner*/,
                                      const QString& newOwner) {
    owners_[name] = newOwner;
    for (ScreenSaver& saver : savers_) {
        if (!saver.names.contains(name)) {
            continue;
        }
        ++saver.taken;  // what the old owner answered no longer holds
        if (ownerOf(saver).isEmpty()) {
            activeChanged_(saver.source, false, Told::bySignal);  // one that left locks nothing
        } else {
            ask(saver);
        }
    }
}

}  // namespace tesuko
