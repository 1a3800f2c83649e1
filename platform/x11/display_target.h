// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace tesuko {

// Which X display to reach, as the session's environment names it.
struct DisplayTarget {
    std::optional<std::string> display;         // $DISPLAY
    std::optional<std::string> waylandDisplay;  // $WAYLAND_DISPLAY, to explain a missing X

    static DisplayTarget fromEnvironment();
};

}  // namespace tesuko
