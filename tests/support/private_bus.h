// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QStringList>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/main_loop.h"
#include "support/temp_dir.h"

namespace tesuko {

// A bus daemon of the test's own, in a runtime folder of its own, where anyone
// may own any name (a stand-in takes a system service's) and nothing is ever
// started. It stops with this, and so does every connection made here.
class PrivateBus {
  public:
    PrivateBus() {
        ensureApplication();
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        daemon_.start("dbus-daemon", {"--nofork", "--print-address",
                                      QString::fromStdString(openBusConfig(runtime + "/bus"))});
        if (!daemon_.waitForReadyRead(20000)) {
            throw std::runtime_error("dbus-daemon did not start");
        }
    }
    ~PrivateBus() {
        for (const QString& name : connections_) {
            QDBusConnection::disconnectFromBus(name);
        }
        stopDaemon();
    }

    // A connection of the test's own.
    QDBusConnection connect() {
        static int made = 0;
        connections_.append(QStringLiteral("tesuko-test-%1").arg(++made));
        return QDBusConnection::connectToBus(QString::fromStdString(address), connections_.back());
    }
    void stopDaemon() { stop(daemon_); }

    TempDir dir;
    const std::string runtime = dir / "runtime";
    const std::string address = "unix:path=" + runtime + "/bus";

  private:
    QProcess daemon_;
    QStringList connections_;
};

}  // namespace tesuko
