// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tesuko {

// One call of ActiveWindowChanged, as it arrived.
struct DesktopReport {
    std::optional<std::string> application;  // none when no window is active
    std::string title;
    std::optional<std::uint32_t> pid;
    std::chrono::steady_clock::time_point at;  // when it arrived
};

}  // namespace tesuko
