// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/display_target.h"

#include <cstdlib>

namespace tesuko {

namespace {

std::optional<std::string> environmentText(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

}  // namespace

DisplayTarget DisplayTarget::fromEnvironment() {
    return DisplayTarget{environmentText("DISPLAY"), environmentText("WAYLAND_DISPLAY")};
}

}  // namespace tesuko
