#include "platform/posix/env_home_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace tesuko {

std::string EnvHomeFolder::path() {
    std::string home;
    if (const char* env = std::getenv("HOME"); env && *env) {
        home = env;
    } else if (const passwd* entry = ::getpwuid(::getuid())) {
        home = entry->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return home;
}

}  // namespace tesuko
