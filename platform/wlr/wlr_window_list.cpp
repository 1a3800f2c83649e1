// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wlr/wlr_window_list.h"

namespace tesuko {

std::vector<WindowInfo> WlrWindowList::onScreenWindows() {
    std::vector<WindowInfo> windows;
    for (const ForeignToplevel* toplevel : toplevels_.onScreen()) {
        windows.push_back({applicationOf(toplevel->state()), toplevel->state().title});
    }
    return windows;
}

}  // namespace tesuko
