// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/running_program.h"

#include <QDBusMessage>
#include <utility>

#include "platform/dbus/tesuko_bus_names.h"

namespace tesuko {

RunningProgram::RunningProgram(std::function<void()> showReport)
    : showReport_(std::move(showReport)) {}

std::optional<std::string> RunningProgram::offer(QDBusConnection bus) {
    if (!bus.isConnected()) {
        return std::nullopt;  // the lock file alone keeps the program single
    }
    if (!bus.registerObject(bus::programPath, bus::programInterface, this,
                            QDBusConnection::ExportScriptableSlots)) {
        return "could not offer " + bus::programPath.toStdString() + " on the session bus";
    }
    // A desktop backend may own it already on this connection, which is fine.
    if (!bus.registerService(bus::service)) {
        return "another program owns " + bus::service.toStdString() + " on the session bus";
    }
    return std::nullopt;
}

void RunningProgram::ShowReport() {
    showReport_();
}

bool askToShowReport(const QDBusConnection& bus) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        bus::service, bus::programPath, bus::programInterface, QStringLiteral("ShowReport"));
    call.setAutoStartService(false);
    constexpr int kWaitMs = 5000;
    return bus.call(call, QDBus::Block, kWaitMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace tesuko
