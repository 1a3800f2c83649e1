#include "platform/x11/active_window.h"

#include <algorithm>
#include <cstdio>

namespace tesuko {

namespace {

std::string windowToken(std::uint32_t window) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", window);
    return text;
}

std::string pidToken(const std::optional<std::uint32_t>& pid) {
    return pid ? std::to_string(*pid) : "-";
}

std::string classToken(const std::optional<std::string>& application) {
    std::string name = application.value_or("");
    std::replace(name.begin(), name.end(), ' ', '_');
    return "x11.class." + name;
}

}  // namespace

std::string deactivationUserInfo(const ActiveWindow& from, const ActiveWindow& to) {
    return "deactivated " + windowToken(from.window) + " pid " + pidToken(from.pid) +
           " activated " + windowToken(to.window) + " pid " + pidToken(to.pid) + " " +
           classToken(from.application);
}

}  // namespace tesuko
