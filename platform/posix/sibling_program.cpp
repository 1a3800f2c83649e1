// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/sibling_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <span>

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
    if (paths.empty()) {
        return "the running program's folder is unknown";
    }
    ::execv(paths.front().c_str(), argv);
    const int error = errno;
    for (const std::string& path : std::span(paths).subspan(1)) {
        ::execv(path.c_str(), argv);
    }
    return paths.front() + ": " + std::strerror(error);
}

}  // namespace tesuko
