// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The names tesuko answers to on the session bus. The KWin script and the
// GNOME Shell extension spell the desktop's names out again.
namespace tesuko::bus {

inline const QString service = QStringLiteral("io.github.tesuko.Tesuko");

// ShowReport(): the running tray program opens its report window.
inline const QString programPath = QStringLiteral("/io/github/tesuko/Tesuko");
inline const QString programInterface = QStringLiteral("io.github.tesuko.Tesuko");

// ActiveWindowChanged(s appId, s title, u pid), called by a compositor-side
// script or extension at every activation and every title change of the
// active window; an empty appId when no window is active.
inline const QString desktopPath = QStringLiteral("/io/github/tesuko/Tesuko/Desktop");
inline const QString desktopInterface = QStringLiteral("io.github.tesuko.Tesuko.Desktop");

}  // namespace tesuko::bus
