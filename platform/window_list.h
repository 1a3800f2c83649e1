// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tesuko {

struct WindowInfo {
    std::optional<std::string> ownerName;  // the owning application's name
    std::optional<std::string> title;      // UTF-8, possibly invalid
};

// Windows on screen, desktop elements (desktop, docks, panels) excluded.
class WindowList {
  public:
    virtual ~WindowList() = default;

    // Front-most first. A list that cannot be had is empty.
    virtual std::vector<WindowInfo> onScreenWindows() = 0;
};

}  // namespace tesuko
