// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tesuko::logind {

inline const QString service = QStringLiteral("org.freedesktop.login1");
inline const QString managerPath = QStringLiteral("/org/freedesktop/login1");
inline const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
inline const QString session = QStringLiteral("org.freedesktop.login1.Session");
inline const QString user = QStringLiteral("org.freedesktop.login1.User");
inline const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace tesuko::logind
