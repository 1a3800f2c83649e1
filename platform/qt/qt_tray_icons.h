// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

#include "platform/status_menu.h"

namespace tesuko {

// The icon theme's name of the tray icon for a state.
QString stateIconName(TrayState state);

// The tray icon for a state: the installed icon theme's when it has one, so
// that a StatusNotifierItem host can draw it at its own size; else the copy
// built into the program, at every size the theme has.
QIcon stateIcon(TrayState state);

}  // namespace tesuko
