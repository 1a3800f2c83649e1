// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tesuko {

// The short name of a running process (/proc/PID/comm), or none when there is
// no such process or it has no name.
std::optional<std::string> processName(std::uint32_t pid);

}  // namespace tesuko
