// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xdg/xdg_config_dirs.h"

#include <cstdlib>
#include <string_view>

#include "platform/posix/env_home_folder.h"

namespace tesuko {

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> absolutePaths(std::string_view list) {
    std::vector<std::string> paths;
    while (!list.empty()) {
        std::size_t colon = list.find(':');
        std::string_view entry = list.substr(0, colon);
        if (entry.starts_with('/')) {
            paths.emplace_back(entry);
        }
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
    }
    return paths;
}

}  // namespace

std::vector<std::string> xdgConfigDirs() {
    std::vector<std::string> dirs = absolutePaths(environment("XDG_CONFIG_DIRS"));
    if (dirs.empty()) {
        dirs.emplace_back("/etc/xdg");
    }
    return dirs;
}

std::vector<std::string> autostartFolders() {
    std::vector<std::string> folders{EnvHomeFolder().configFolder() + "/autostart"};
    for (const std::string& dir : xdgConfigDirs()) {
        folders.push_back(dir + "/autostart");
    }
    return folders;
}

}  // namespace tesuko
