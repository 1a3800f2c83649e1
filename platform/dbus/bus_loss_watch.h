// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace tesuko {

// Tells when a bus connection is lost: the bus went away or dropped us.
class BusLossWatch : public QObject {
    Q_OBJECT

  public:
    BusLossWatch(QDBusConnection bus, std::function<void()> lost);

  private Q_SLOTS:
    void onDisconnected();

  private:
    std::function<void()> lost_;
};

}  // namespace tesuko
