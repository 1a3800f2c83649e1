#pragma once

#include <string>
#include <vector>

namespace tesuko {

// Where the XDG base directories put configuration, read from the environment
// at every call: $XDG_CONFIG_HOME (else ~/.config), then $XDG_CONFIG_DIRS (else
// /etc/xdg). Relative paths in either variable are ignored, as they must be.
std::string xdgConfigHome();
std::vector<std::string> xdgConfigDirs();

// The autostart folders, the user's first: a file in an earlier folder shadows
// a file of the same name in a later one.
std::vector<std::string> autostartFolders();

}  // namespace tesuko
