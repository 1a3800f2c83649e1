// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusMessage>
#include <stdexcept>

#include "platform/dbus/dbus_session_events.h"
#include "support/private_bus.h"

namespace tesuko {

using namespace std::chrono_literals;

// Two private buses, one standing in for the system bus, and the fake logind
// and screensavers of fake_desktop_bus.py on them. All stop with this.
class FakeDesktop {
  public:
    explicit FakeDesktop(const QStringList& options = {}) {
        fake_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fake_.start("/usr/bin/python3",
                    QStringList{TESUKO_SOURCE_DIR "/tests/session/fake_desktop_bus.py",
                                QString::fromStdString(system.address),
                                QString::fromStdString(session.address)} +
                        options);
        if (!fake_.waitForReadyRead(10000)) {
            throw std::runtime_error("fake_desktop_bus.py did not start");
        }
    }
    ~FakeDesktop() { stop(fake_); }

    DbusSessionEvents::Buses buses() { return {system.connect(), session.connect()}; }

    // Calls the fake's control object (Signal, Note or Events); its reply's arguments.
    QVariantList control(const QString& method, const QVariantList& arguments = {}) {
        auto call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/control",
                                                   "test.Control", method);
        call.setArguments(arguments);
        return controls_.call(call).arguments();
    }
    QStringList events() { return control("Events").value(0).toStringList(); }

    PrivateBus system;  // the test may stop it
    PrivateBus session;

  private:
    QProcess fake_;
    QDBusConnection controls_ = system.connect();
};

}  // namespace tesuko
