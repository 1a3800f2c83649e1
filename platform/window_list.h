// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
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

    // The front-most window on screen that `wanted` takes; none when no
    // window is taken. A backend that has to ask for each window's facts
    // asks only as far down as it needs: an application switch looks for the
    // front-most window of the application that was just in front, which is
    // near the top however many windows are open.
    virtual std::optional<WindowInfo> frontMostWindow(
        const std::function<bool(const WindowInfo&)>& wanted) {
        for (WindowInfo& window : onScreenWindows()) {
            if (wanted(window)) {
                return std::move(window);
            }
        }
        return std::nullopt;
    }
};

}  // namespace tesuko
