// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/home_folder.h"

namespace tesuko {

// The autostart folders, looked up at every call, the user's first: a file in
// an earlier folder shadows a file of the same name in a later one. The
// system's come from $XDG_CONFIG_DIRS, else /etc/xdg.
std::vector<std::string> autostartFolders(HomeFolder& home);

}  // namespace tesuko
