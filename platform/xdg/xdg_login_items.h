// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/login_items.h"

namespace tesuko {

// Login items as XDG autostart entries: the *.desktop files of the user's
// autostart folder and of the system ones, a user file shadowing a system file
// of the same name, in file-name order. Folders are looked up at every call.
class XdgLoginItems : public LoginItems {
  public:
    // The running program is /proc/self/exe unless a path is given.
    XdgLoginItems(HomeFolder& home, FileSystem& files,
                  std::optional<std::string> programPath = std::nullopt);

    std::string bundlePath() override;
    // Writes tesuko.desktop (or tesuko-2.desktop, ... when another program's
    // entry holds the name) into the user's autostart folder. An entry of ours
    // whose program no longer exists holds no name: it is replaced.
    std::optional<std::string> insertLast(const std::string& path) override;
    std::vector<std::optional<std::string>> snapshot() override;

  private:
    HomeFolder& home_;
    FileSystem& files_;
    std::optional<std::string> programPath_;
};

}  // namespace tesuko
