// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusMessage>
#include <QTemporaryDir>
#include <stdexcept>

#include "platform/dbus/dbus_session_events.h"
#include "tests/support/main_loop.h"

namespace tesuko {

using namespace std::chrono_literals;

// Two private bus daemons, one standing in for the system bus, and the fake
// logind and screensavers of fake_desktop_bus.py on them. All stop with this.
class FakeDesktop {
  public:
    explicit FakeDesktop(const QStringList& options = {}) {
        ensureApplication();
        systemAddress = startBus(systemBus, "system");
        sessionAddress = startBus(sessionBus_, "session");
        fake_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        start(fake_, "/usr/bin/python3",
              QStringList{TESUKO_SOURCE_DIR "/tests/session/fake_desktop_bus.py", systemAddress,
                          sessionAddress} +
                  options);
        connect(systemAddress);  // the first connection makes the control calls
    }
    ~FakeDesktop() {
        for (const QString& name : connections_) {
            QDBusConnection::disconnectFromBus(name);
        }
        for (QProcess* process : {&fake_, &sessionBus_, &systemBus}) {
            process->kill();
            process->waitForFinished();
        }
    }

    // A connection of the test's own, let go with this.
    QDBusConnection connect(const QString& address) {
        connections_.append(QString("tesuko-test-%1").arg(connections_.size()));
        return QDBusConnection::connectToBus(address, connections_.constLast());
    }
    DbusSessionEvents::Buses buses() { return {connect(systemAddress), connect(sessionAddress)}; }

    // Calls the fake's control object (Signal, Note or Events); its reply's arguments.
    QVariantList control(const QString& method, const QVariantList& arguments = {}) {
        auto call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/control",
                                                   "test.Control", method);
        call.setArguments(arguments);
        return QDBusConnection(connections_.constFirst()).call(call).arguments();
    }
    QStringList events() { return control("Events").value(0).toStringList(); }

    QTemporaryDir dir;
    QString systemAddress;
    QString sessionAddress;

    QProcess systemBus;  // the test may stop it

  private:
    QString startBus(QProcess& daemon, const QString& name) {
        const QString socket = dir.filePath(name);
        start(daemon, "dbus-daemon",
              {"--nofork", "--print-address",
               QString::fromStdString(openBusConfig(socket.toStdString()))});
        return "unix:path=" + socket;
    }
    // Starts the program and waits for its first line.
    static void start(QProcess& process, const QString& program, const QStringList& arguments) {
        process.start(program, arguments);
        if (!process.waitForReadyRead(10000)) {
            throw std::runtime_error(program.toStdString() + " did not start");
        }
    }

    QStringList connections_;
    QProcess sessionBus_;
    QProcess fake_;
};

}  // namespace tesuko
