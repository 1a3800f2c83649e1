// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/env_home_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tesuko {

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string xdgFolder(const char* variable, HomeFolder& home, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return withoutTrailingSlashes(value);
    }
    return home.path() + fallback;
}

// The text between the double quotes, the shell's backslash escapes undone.
std::optional<std::string> doubleQuoted(std::string_view value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return std::nullopt;
    }
    value = value.substr(1, value.size() - 2);
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
        }
        text += value[i];
    }
    return text;
}

std::optional<std::string> folderValue(std::string_view value, const std::string& home) {
    std::optional<std::string> text = doubleQuoted(value);
    if (!text) {
        return std::nullopt;
    }
    constexpr std::string_view kHome = "$HOME";
    if (text->starts_with(kHome) &&
        (text->size() == kHome.size() || (*text)[kHome.size()] == '/')) {
        return withoutTrailingSlashes(home + text->substr(kHome.size()));
    }
    if (text->starts_with('/')) {
        return withoutTrailingSlashes(*text);
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlank = " \t\r";
    std::size_t first = text.find_first_not_of(kBlank);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

}  // namespace

std::optional<std::string> desktopFolderIn(std::string_view userDirs, const std::string& home) {
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
    std::optional<std::string> found;
    while (!userDirs.empty()) {
        std::size_t end = userDirs.find('\n');
        std::string_view line = trimmed(userDirs.substr(0, end));
        userDirs = end == std::string_view::npos ? std::string_view{} : userDirs.substr(end + 1);
        if (line.starts_with(kKey)) {
            found = folderValue(line.substr(kKey.size()), home);  // the last one wins, as in sh
        }
    }
    return found;
}

std::string EnvHomeFolder::path() {
    std::string home;
    if (const char* env = std::getenv("HOME"); env && *env) {
        home = env;
    } else if (const passwd* entry = ::getpwuid(::getuid())) {
        home = entry->pw_dir;
    }
    return withoutTrailingSlashes(home);
}

std::string EnvHomeFolder::configFolder() {
    return xdgFolder("XDG_CONFIG_HOME", *this, "/.config");
}

std::string EnvHomeFolder::cacheFolder() {
    return xdgFolder("XDG_CACHE_HOME", *this, "/.cache");
}

std::string EnvHomeFolder::stateFolder() {
    return xdgFolder("XDG_STATE_HOME", *this, "/.local/state");
}

// Read at every call: xdg-user-dirs-update rewrites the file when the user
// changes the language of the folder names.
std::string EnvHomeFolder::desktopFolder() {
    const std::string home = path();
    std::ifstream file(configFolder() + "/user-dirs.dirs");
    std::ostringstream text;
    text << file.rdbuf();
    return desktopFolderIn(text.str(), home).value_or(home + "/Desktop");
}

}  // namespace tesuko
