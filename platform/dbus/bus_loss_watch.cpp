// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/bus_loss_watch.h"

#include <utility>

namespace tesuko {

BusLossWatch::BusLossWatch(QDBusConnection bus, std::function<void()> lost)
    : lost_(std::move(lost)) {
    // libdbus tells of a lost connection with this local signal; it never
    // travels over the bus.
    bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
                SLOT(onDisconnected()));
}

void BusLossWatch::onDisconnected() {
    lost_();
}

}  // namespace tesuko
