// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/sleep_inhibitor.h"

#include <fcntl.h>

#include <QDBusUnixFileDescriptor>
#include <utility>

#include "platform/dbus/dbus_call.h"
#include "platform/dbus/logind_names.h"

namespace tesuko {

SleepInhibitor::SleepInhibitor(QDBusConnection bus, SystemLog& log)
    : bus_(std::move(bus)), log_(log) {}

void SleepInhibitor::take() {
    wanted_ = true;
    if (fd_ || asked_) {
        return;
    }
    asked_ = true;
    const DbusCall inhibit{
        logind::service,
        logind::managerPath,
        logind::manager,
        QStringLiteral("Inhibit"),
        {QStringLiteral("sleep"), QStringLiteral("tesuko"),
         QStringLiteral("Write the interval in progress"), QStringLiteral("delay")}};
    callAsync(bus_, inhibit, replies_, [this](const QDBusMessage& reply) { arrived(reply); });
}

void SleepInhibitor::release() {
    wanted_ = false;
    fd_.reset();
}

void SleepInhibitor::arrived(const QDBusMessage& reply) {
    asked_ = false;
    const auto handed = firstArgument(reply).value<QDBusUnixFileDescriptor>();
    if (!handed.isValid()) {
        // Once: without logind it fails the same way after every sleep.
        if (!warned_) {
            log_.warning("Cannot hold off sleep to write the interval in progress: " +
                         reply.errorMessage().toStdString());
            warned_ = true;
        }
        return;
    }
    if (wanted_) {
        // Our own copy: the reply's closes with the reply.
        fd_ = UniqueFd(::fcntl(handed.fileDescriptor(), F_DUPFD_CLOEXEC, 0));
    }
}

}  // namespace tesuko
