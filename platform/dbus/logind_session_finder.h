// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace tesuko {

using SessionFound = std::function<void(std::optional<QString> path)>;

// Finds the object path of the logind session this program belongs to: the
// session of its own process, else the one named `sessionId` ($XDG_SESSION_ID),
// else the user's display session; none when logind knows none of them. A
// program started by a user service manager is in no session of its own,
// hence the fallbacks. `found` runs later, on the main loop, while `context` lives.
void findLogindSession(const QDBusConnection& systemBus, const QString& sessionId, QObject& context,
                       SessionFound found);

}  // namespace tesuko
