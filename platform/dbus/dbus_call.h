// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <functional>

namespace tesuko {

struct DbusCall {
    QString service;
    QString path;
    QString interface;
    QString method;
    QVariantList arguments = {};
};

using DbusReplied = std::function<void(const QDBusMessage& reply)>;

// Sends the call and returns at once: the main loop must not wait on a busy or
// hung service. `replied` gets the reply, or the error in its place, unless
// `context` is gone by then. A service that is not running is never started:
// a stray auto-start of a desktop's service can break that desktop.
void callAsync(const QDBusConnection& bus, const DbusCall& call, QObject& context,
               DbusReplied replied);

// The reply's first argument; an invalid QVariant for an error or no argument.
QVariant firstArgument(const QDBusMessage& reply);

}  // namespace tesuko
