// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/desktop_notice.h"
#include "platform/file_system.h"
#include "platform/gnome/gnome_shell.h"
#include "platform/system_log.h"

namespace tesuko {

// Gets tesuko's extension running in the Shell, as far as tesuko can on its
// own, and says what is left to the user; none when it runs now.
//
// The Shell loads extensions only at login, so an extension that is missing
// or made for another Shell version is copied into the user's folder (the
// form for the running Shell) and enabled for the next login, and the user is
// asked to log out and back in once. One that the Shell has loaded but that
// is disabled is enabled at once: it does nothing but report to tesuko.
// Extensions as a whole, when the user turned them off, stay off.
std::optional<DesktopNotice> setUpExtension(const GnomeShell& shell, SystemLog& systemLog,
                                            FileSystem& files);

}  // namespace tesuko
