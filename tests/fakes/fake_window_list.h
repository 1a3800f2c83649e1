// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>
#include <vector>

#include "platform/window_list.h"

namespace tesuko {

class FakeWindowList : public WindowList {
  public:
    std::vector<WindowInfo> onScreenWindows() override { return windows_; }

    void setWindows(std::vector<WindowInfo> windows) { windows_ = std::move(windows); }

  private:
    std::vector<WindowInfo> windows_;
};

}  // namespace tesuko
