// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/dbus_call.h"

#include <QDBusPendingCallWatcher>
#include <utility>

namespace tesuko {

void callAsync(const QDBusConnection& bus, const DbusCall& call, QObject& context,
               DbusReplied replied) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(call.service, call.path, call.interface, call.method);
    message.setArguments(call.arguments);
    message.setAutoStartService(false);
    // Owned by the context, so that a reply after the context is gone goes nowhere.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), &context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context,
                     [watcher, replied = std::move(replied)] {
                         watcher->deleteLater();
                         replied(watcher->reply());
                     });
}

QVariant firstArgument(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().constFirst();
}

}  // namespace tesuko
