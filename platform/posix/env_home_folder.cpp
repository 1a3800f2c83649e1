#include "platform/posix/env_home_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

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

}  // namespace

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

}  // namespace tesuko
