// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wlr/wlr_window_list.h"

namespace tesuko {

namespace {

WindowInfo infoOf(const ForeignToplevel& toplevel) {
    return {applicationOf(toplevel.state()), toplevel.state().title};
}

}  // namespace

std::vector<WindowInfo> WlrWindowList::onScreenWindows() {
    std::vector<WindowInfo> windows;
    for (const ForeignToplevel* toplevel : toplevels_.onScreen()) {
        windows.push_back(infoOf(*toplevel));
    }
    return windows;
}

// The windows are all known already: only those before the one taken are
// copied.
std::optional<WindowInfo> WlrWindowList::frontMostWindow(
    const std::function<bool(const WindowInfo&)>& wanted) {
    const ForeignToplevel* found = toplevels_.frontMost(
        [&](const ForeignToplevel& toplevel) { return wanted(infoOf(toplevel)); });
    if (found == nullptr) {
        return std::nullopt;
    }
    return infoOf(*found);
}

}  // namespace tesuko
