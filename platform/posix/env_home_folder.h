// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/home_folder.h"

namespace tesuko {

// $HOME, or the password database when it is unset; the XDG base folders,
// or their defaults under the home folder when unset, empty or relative; the
// desktop folder from $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Desktop.
class EnvHomeFolder : public HomeFolder {
  public:
    std::string path() override;
    std::string configFolder() override;
    std::string cacheFolder() override;
    std::string stateFolder() override;
    std::string desktopFolder() override;
};

// The XDG_DESKTOP_DIR a user-dirs.dirs file names, "$HOME/..." made absolute
// with `home`; nothing when it names none, or names it in a form the format
// does not allow (only "$HOME/..." and absolute paths, in double quotes).
std::optional<std::string> desktopFolderIn(std::string_view userDirs, const std::string& home);

}  // namespace tesuko
