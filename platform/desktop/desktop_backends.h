// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop_session.h"
#include "platform/system_log.h"

namespace tesuko {

// Each desktop backend opens its session here, or says in `error` why it
// cannot reach this desktop. Only the backends built in are defined.

// X11 over xcb, on the display DISPLAY names.
OpenedDesktopSession openX11Session(SystemLog& systemLog);
// wlroots compositors (sway, labwc, Hyprland, river, wayfire): the foreign
// toplevel protocol on the display WAYLAND_DISPLAY names.
OpenedDesktopSession openWlrSession(SystemLog& systemLog);
// KDE Plasma: a KWin script that reports the active window over D-Bus.
OpenedDesktopSession openKwinSession(SystemLog& systemLog);
// GNOME Shell: tesuko's Shell extension reports the focused window over D-Bus.
OpenedDesktopSession openGnomeSession(SystemLog& systemLog);

}  // namespace tesuko
