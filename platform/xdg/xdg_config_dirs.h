// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace tesuko {

// The system's configuration folders, read from the environment at every
// call: $XDG_CONFIG_DIRS, else /etc/xdg. Relative paths are ignored, as they
// must be.
std::vector<std::string> xdgConfigDirs();

// The autostart folders, the user's first: a file in an earlier folder shadows
// a file of the same name in a later one.
std::vector<std::string> autostartFolders();

}  // namespace tesuko
