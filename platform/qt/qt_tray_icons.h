// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

#include "platform/status_menu.h"

namespace tesuko {

// The icon theme's name of the tray icon for a state.
QString stateIconName(TrayState state);

// The tray icon for a state: in colour, the installed icon theme's when it
// has one, else the copy built into the program, at every size the theme
// has; named for its installed "-symbolic" form, which a StatusNotifierItem
// host draws at its own size and in the panel's colour.
QIcon stateIcon(TrayState state);

}  // namespace tesuko
