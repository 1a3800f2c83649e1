// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xdg/program_lookup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace tesuko {

namespace {

constexpr std::string_view kDefaultPath = "/usr/local/bin:/usr/bin:/bin";

bool isExecutableFile(const std::string& path) {
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> realPathOf(const std::string& path) {
    if (!isExecutableFile(path)) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::path real = std::filesystem::canonical(path, error);
    if (error) {
        return std::nullopt;
    }
    return real.string();
}

std::optional<std::string> searchPath(const std::string& name) {
    const char* configured = std::getenv("PATH");
    std::string_view list = configured ? configured : kDefaultPath;
    while (!list.empty()) {
        std::size_t colon = list.find(':');
        std::string_view dir = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
        // Only absolute folders: the answer must not depend on where we stand.
        if (!dir.starts_with('/')) {
            continue;
        }
        if (auto found = realPathOf(std::string(dir) + "/" + name)) {
            return found;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> resolveProgram(const std::string& command) {
    if (command.find('/') == std::string::npos) {
        return command.empty() ? std::nullopt : searchPath(command);
    }
    if (!command.starts_with('/')) {
        return std::nullopt;
    }
    return realPathOf(command);
}

}  // namespace tesuko
