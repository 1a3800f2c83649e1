// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus_report/reported_window_list.h"

#include <algorithm>

namespace tesuko {

void ReportedWindowList::bringToFront(const std::string& application, const std::string& title) {
    // One window an application: without window ids, two windows of one
    // application cannot be told apart, and the one shown last names it.
    auto same = std::find_if(shown_.begin(), shown_.end(), [&](const Shown& window) {
        return window.application == application;
    });
    if (same != shown_.end()) {
        shown_.erase(same);
    }
    shown_.push_front({application, title});
    if (shown_.size() > kMostKept) {
        shown_.pop_back();
    }
}

std::vector<WindowInfo> ReportedWindowList::onScreenWindows() {
    std::vector<WindowInfo> windows;
    windows.reserve(shown_.size());
    for (const Shown& window : shown_) {
        windows.push_back({window.application, window.title});
    }
    return windows;
}

}  // namespace tesuko
