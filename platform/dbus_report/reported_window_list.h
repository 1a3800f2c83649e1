// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "platform/window_list.h"

namespace tesuko {

// The windows the compositor reported active, front-most first: one for each
// application, the one it showed last. The compositor tells only the active
// window, so this is all we know of what is on screen, and enough to name
// the interval of the application just left.
class ReportedWindowList : public WindowList {
  public:
    // The window of this application now active, with this title.
    void bringToFront(const std::string& application, const std::string& title);

    std::vector<WindowInfo> onScreenWindows() override;

  private:
    struct Shown {
        std::string application;
        std::string title;
    };
    static constexpr std::size_t kMostKept = 64;

    std::deque<Shown> shown_;
};

}  // namespace tesuko
