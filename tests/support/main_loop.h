// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>

// Header only: the D-Bus suites share it without the X session's library.
namespace tesuko {

// The test program's application, made at the first call unless the test made
// its own: QtDBus delivers through its loop.
inline void ensureApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    static int argc = 1;
    static char name[] = "tesuko-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// Runs the main loop until the condition holds, within the bound; whether it held.
inline bool pumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    ensureApplication();
    for (const QDeadlineTimer deadline(bound); !condition(); QThread::msleep(1)) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents();
    }
    return true;
}

// SIGTERM, then SIGKILL after two seconds.
inline void stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished();
    }
}

// Writes the configuration of a private bus at the socket, where anyone may
// own any name and send anything (a fake takes a system service's name), and
// returns dbus-daemon's option for it.
inline std::string openBusConfig(const std::string& socket) {
    std::ofstream(socket + ".conf")
        << "<busconfig><type>session</type><listen>unix:path=" << socket
        << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow own=\"*\"/>"
           "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>";
    return "--config-file=" + socket + ".conf";
}

}  // namespace tesuko
