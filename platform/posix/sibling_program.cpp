// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/sibling_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tesuko {

namespace fs = std::filesystem;

std::vector<std::string> siblingProgramPaths(std::string_view name,
                                             std::string_view installedFolder) {
    std::error_code error;
    // An upgrade that replaced the running file marks the link " (deleted)":
    // only the folder counts.
    const fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    if (error) {
        return {};
    }
    return {(folder / installedFolder / name).lexically_normal().string(),
            (folder / name).string()};
}

std::string execFirst(const std::vector<std::string>& paths, char** argv) {
    int firstError = ENOENT;
    for (const std::string& path : paths) {
        ::execv(path.c_str(), argv);
        firstError = &path == &paths.front() ? errno : firstError;
    }
    return paths.empty() ? "the running program's folder is unknown"
                         : paths.front() + ": " + std::strerror(firstError);
}

}  // namespace tesuko
