// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus/logind_session_finder.h"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <utility>

#include "platform/dbus/dbus_call.h"
#include "platform/dbus/logind_names.h"

namespace tesuko {

namespace {

// logind answers "/" for "no session".
std::optional<QString> sessionPath(const QDBusObjectPath& path) {
    if (path.path().isEmpty() || path.path() == QStringLiteral("/")) {
        return std::nullopt;
    }
    return path.path();
}

std::optional<QString> pathIn(const QDBusMessage& reply) {
    return sessionPath(firstArgument(reply).value<QDBusObjectPath>());
}

// The user's Display property: a (session id, session path) structure.
std::optional<QString> displaySessionIn(const QDBusMessage& reply) {
    const QVariant value = firstArgument(reply).value<QDBusVariant>().variant();
    if (!value.canConvert<QDBusArgument>()) {
        return std::nullopt;
    }
    const auto structure = value.value<QDBusArgument>();
    QString id;
    QDBusObjectPath path;
    structure.beginStructure();
    structure >> id >> path;
    structure.endStructure();
    return sessionPath(path);
}

DbusCall managerCall(const QString& method, const QVariant& argument) {
    return {logind::service, logind::managerPath, logind::manager, method, {argument}};
}

struct Search {
    QDBusConnection bus;
    QString sessionId;
    QObject& context;
    SessionFound found;
};

void askUserDisplay(Search search) {
    const QVariant uid = QVariant::fromValue(static_cast<quint32>(::getuid()));
    callAsync(search.bus, managerCall(QStringLiteral("GetUser"), uid), search.context,
              [search](const QDBusMessage& reply) {
                  const auto user = firstArgument(reply).value<QDBusObjectPath>().path();
                  if (user.isEmpty()) {
                      return search.found(std::nullopt);
                  }
                  const DbusCall display{logind::service,
                                         user,
                                         logind::properties,
                                         QStringLiteral("Get"),
                                         {logind::user, QStringLiteral("Display")}};
                  callAsync(search.bus, display, search.context,
                            [found = search.found](const QDBusMessage& answer) {
                                found(displaySessionIn(answer));
                            });
              });
}

void askSessionId(Search search) {
    if (search.sessionId.isEmpty()) {
        return askUserDisplay(std::move(search));
    }
    callAsync(search.bus, managerCall(QStringLiteral("GetSession"), search.sessionId),
              search.context, [search](const QDBusMessage& reply) {
                  if (auto path = pathIn(reply)) {
                      return search.found(path);
                  }
                  askUserDisplay(search);
              });
}

}  // namespace

void findLogindSession(const QDBusConnection& systemBus, const QString& sessionId, QObject& context,
                       SessionFound found) {
    Search search{systemBus, sessionId, context, std::move(found)};
    const QVariant pid = QVariant::fromValue(static_cast<quint32>(::getpid()));
    callAsync(systemBus, managerCall(QStringLiteral("GetSessionByPID"), pid), context,
              [search](const QDBusMessage& reply) {
                  if (auto path = pathIn(reply)) {
                      return search.found(path);
                  }
                  askSessionId(search);
              });
}

}  // namespace tesuko
