// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/own_input_filter.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

// Frames, toplevels, a tray and its icons: deeper nesting is not looked into.
constexpr std::size_t kMaxPointerDepth = 8;
constexpr std::uint32_t kMaxWindowTypes = 16;

}  // namespace

OwnInputFilter::OwnInputFilter(const XcbConnection& connection, const X11Atoms& atoms,
                               const X11Workspace& workspace, pid_t ownPid)
    : connection_(connection),
      atoms_(atoms),
      workspace_(workspace),
      ownPid_(static_cast<std::uint32_t>(ownPid)) {}

void OwnInputFilter::onMapNotify(const xcb_map_notify_event_t& event) {
    if (event.override_redirect) {
        xcb_connection_t* c = connection_.get();
        pendingPopups_.push_back(
            {event.window,
             xcb_get_property(c, 0, event.window, atoms_.netWmPid, XCB_ATOM_CARDINAL, 0, 1),
             xcb_get_property(c, 0, event.window, atoms_.netWmWindowType, XCB_ATOM_ATOM, 0,
                              kMaxWindowTypes)});
    }
}

void OwnInputFilter::onWindowGone(xcb_window_t window) {
    std::erase(ownPopups_, window);
    // A reply still awaited is read anyway, and the window forgotten then.
    for (PendingPopup& pending : pendingPopups_) {
        if (pending.window == window) {
            pending.window = XCB_NONE;
        }
    }
}

void OwnInputFilter::settle() {
    for (const PendingPopup& pending : pendingPopups_) {
        bool own = isOwn(pending.pid).value_or(false);
        bool grabs = grabsInput(pending.type);
        if (own && grabs && pending.window != XCB_NONE) {
            ownPopups_.push_back(pending.window);
        }
    }
    pendingPopups_.clear();
}

bool OwnInputFilter::keyboardIsOwn() const {
    return workspace_.activeWindow().pid == ownPid_;
}

bool OwnInputFilter::pointerIsOwn() const {
    xcb_connection_t* c = connection_.get();
    std::array<xcb_window_t, kMaxPointerDepth> chain{};
    std::size_t depth = 0;
    xcb_window_t window = connection_.root();
    while (depth < chain.size()) {
        auto reply = takeReply(xcb_query_pointer_reply, c, xcb_query_pointer(c, window));
        if (!reply || !reply->same_screen || reply->child == XCB_NONE) {
            break;
        }
        window = chain[depth++] = reply->child;
    }
    std::array<xcb_get_property_cookie_t, kMaxPointerDepth> pids{};
    for (std::size_t i = 0; i < depth; ++i) {
        pids[i] = xcb_get_property(c, 0, chain[i], atoms_.netWmPid, XCB_ATOM_CARDINAL, 0, 1);
    }
    // Every reply is read; the deepest window that names a process decides.
    std::optional<bool> verdict;
    for (std::size_t i = 0; i < depth; ++i) {
        if (std::optional<bool> own = isOwn(pids[i])) {
            verdict = own;
        }
    }
    return verdict.value_or(false);
}

bool OwnInputFilter::grabsInput(xcb_get_property_cookie_t typeCookie) const {
    auto reply = takeReply(xcb_get_property_reply, connection_.get(), typeCookie);
    if (!reply || reply->format != 32) {
        return true;  // an untyped popup: a menu, as far as anyone can tell
    }
    auto* types = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::none_of(types, types + count, [&](xcb_atom_t type) {
        return type == atoms_.netWmWindowTypeTooltip || type == atoms_.netWmWindowTypeNotification;
    });
}

std::optional<bool> OwnInputFilter::isOwn(xcb_get_property_cookie_t pidCookie) const {
    auto reply = takeReply(xcb_get_property_reply, connection_.get(), pidCookie);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
        return std::nullopt;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())) == ownPid_;
}

}  // namespace tesuko
