// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/user_locale.h"

#include <cstdlib>

namespace tesuko {

std::string userLocale(const char* category) {
    std::string name;
    for (const char* variable : {"LC_ALL", category, "LANG"}) {
        if (const char* value = std::getenv(variable); value && *value) {
            name = value;
            break;
        }
    }
    // "ll_CC.codeset@modifier": ICU wants neither the codeset nor the modifier.
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX") {
        return {};
    }
    return name;
}

}  // namespace tesuko
