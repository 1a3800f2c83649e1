// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "platform/window_list.h"
#include "platform/wlr/foreign_toplevels.h"

namespace tesuko {

// The toplevel windows that are not minimized, the one in front first and
// the others by when they were last in front. Owner: the app_id. When the
// compositor has gone, the windows it told of last.
class WlrWindowList : public WindowList {
  public:
    explicit WlrWindowList(const ForeignToplevels& toplevels) : toplevels_(toplevels) {}

    std::vector<WindowInfo> onScreenWindows() override;
    std::optional<WindowInfo> frontMostWindow(
        const std::function<bool(const WindowInfo&)>& wanted) override;

  private:
    const ForeignToplevels& toplevels_;
};

}  // namespace tesuko
