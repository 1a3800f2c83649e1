// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tesuko {

// The window in front, as known when it became active.
struct ActiveWindow {
    std::uint32_t window = 0;                // 0 while no window is active
    std::optional<std::string> application;  // WM_CLASS class, else the process name
    std::optional<std::uint32_t> pid;
    std::optional<std::string> title;  // may have changed since
};

}  // namespace tesuko
