#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "platform/dbus/dbus_session_events.h"

namespace tesuko {

using namespace std::chrono_literals;

// Runs the main loop until the condition holds or the bound passed; whether it held.
inline bool pumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds bound = 10s) {
    const QDeadlineTimer deadline(bound);
    QTimer tick;  // wakes the loop to look again
    tick.start(10);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Two private bus daemons, one standing in for the system bus, and the fake
// logind and screensavers of fake_desktop_bus.py on them. All stop with this.
class FakeDesktop {
  public:
    explicit FakeDesktop(const QStringList& options = {}) {
        static int argc = 1;
        static char name[] = "tesuko-session-tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);  // QtDBus delivers through its loop
        systemAddress = startBus(systemBus_, "system");
        sessionAddress = startBus(sessionBus_, "session");
        fake_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fake_.start("/usr/bin/python3",
                    QStringList{TESUKO_SOURCE_DIR "/tests/session/fake_desktop_bus.py",
                                systemAddress, sessionAddress} +
                        options);
        awaitLine(fake_);
        connect(systemAddress);  // the first connection makes the control calls
    }
    ~FakeDesktop() {
        for (const QString& name : connections_) {
            QDBusConnection::disconnectFromBus(name);
        }
        for (QProcess* process : {&fake_, &sessionBus_, &systemBus_}) {
            process->kill();
            process->waitForFinished();
        }
    }
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    // A connection of the test's own, let go with this.
    QDBusConnection connect(const QString& address) {
        connections_.append(QString("tesuko-test-%1").arg(connections_.size()));
        return QDBusConnection::connectToBus(address, connections_.constLast());
    }
    DbusSessionEvents::Buses buses() { return {connect(systemAddress), connect(sessionAddress)}; }

    // Calls the fake's control object: Signal, Note or Events.
    QVariantList control(const QString& method, const QVariantList& arguments = {}) {
        auto call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/control",
                                                   "test.Control", method);
        call.setArguments(arguments);
        const QDBusMessage reply = QDBusConnection(connections_.constFirst()).call(call);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            throw std::runtime_error("the fake failed: " + reply.errorMessage().toStdString());
        }
        return reply.arguments();
    }
    void signal(const QString& target, const QString& member, bool value) {
        control("Signal", {target, member, value});
    }
    QStringList events() { return control("Events").constFirst().toStringList(); }
    void stopSystemBus() {
        systemBus_.kill();
        systemBus_.waitForFinished();
    }
    bool systemBusUp() const { return systemBus_.state() == QProcess::Running; }

    QTemporaryDir dir;
    QString systemAddress;
    QString sessionAddress;

  private:
    QString startBus(QProcess& process, const QString& name) {
        const QString socket = dir.filePath(name);
        // Anyone may own any name and send anything: the fake owns logind's name.
        std::ofstream(socket.toStdString() + ".conf")
            << "<busconfig><type>session</type><listen>unix:path=" << socket.toStdString()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow own=\"*\"/>"
               "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>";
        process.start("dbus-daemon",
                      {"--nofork", "--print-address", "--config-file=" + socket + ".conf"});
        awaitLine(process);
        return "unix:path=" + socket;
    }
    static void awaitLine(QProcess& process) {
        const QDeadlineTimer deadline(10s);
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
                throw std::runtime_error(process.program().toStdString() + " did not start");
            }
        }
    }

    QStringList connections_;
    QProcess systemBus_;
    QProcess sessionBus_;
    QProcess fake_;
};

}  // namespace tesuko
