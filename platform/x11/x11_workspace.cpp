// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/x11_workspace.h"

#include <utility>

#include "platform/x11/window_facts.h"
#include "platform/x11/xcb_reply.h"

namespace tesuko {

X11Workspace::X11Workspace(const XcbConnection& connection, const X11Atoms& atoms)
    : connection_(connection), atoms_(atoms), tracker_(describe(readActiveWindow())) {}

std::optional<std::string> X11Workspace::activeApplication() {
    return tracker_.current().application;
}

void X11Workspace::subscribeSwitches(SwitchHandler handler) {
    handler_ = std::move(handler);
}

void X11Workspace::unsubscribeSwitches() {
    handler_ = nullptr;
}

void X11Workspace::noteActiveWindowChanged(std::chrono::steady_clock::time_point at) {
    stale_ = true;
    if (!changedAt_) {
        changedAt_ = at;
    }
}

void X11Workspace::refresh(const BurstWait& waitForBurst) {
    stale_ = false;
    xcb_window_t window = readActiveWindow();
    if (window == XCB_NONE) {
        // Perhaps only the first half of a burst: let its second half arrive.
        waitForBurst();
        if (std::exchange(stale_, false)) {
            window = readActiveWindow();
        }
    }
    ActiveWindow next = describe(window);
    if (connection_.broken()) {
        return;  // what was read is not the desktop's state
    }
    std::optional<ApplicationSwitch> change = tracker_.update(std::move(next));
    // Taken before the handler runs: changes it lets in start the next burst.
    std::optional<std::chrono::steady_clock::time_point> changedAt =
        std::exchange(changedAt_, std::nullopt);
    if (change && handler_) {
        change->when = changedAt;
        // A copy: the handler may unsubscribe while it runs.
        SwitchHandler handler = handler_;
        handler(*change);
    }
}

xcb_window_t X11Workspace::readActiveWindow() const {
    xcb_connection_t* c = connection_.get();
    auto reply = takeReply(
        xcb_get_property_reply, c,
        xcb_get_property(c, 0, connection_.root(), atoms_.netActiveWindow, XCB_ATOM_WINDOW, 0, 1));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
        return XCB_NONE;  // not set before the first focus
    }
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

ActiveWindow X11Workspace::describe(xcb_window_t window) const {
    if (window == XCB_NONE) {
        return {};
    }
    WindowFacts facts = fetchWindowFacts(connection_.get(), atoms_, {&window, 1}).front();
    return ActiveWindow{window, facts.application(), facts.pid, facts.title};
}

}  // namespace tesuko
