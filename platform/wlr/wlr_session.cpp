// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wlr/wlr_session.h"

#include <string>
#include <utility>

#include "platform/desktop/desktop_backends.h"
#include "platform/nested_call_guard.h"

namespace tesuko {

OpenedDesktopSession openWlrSession(SystemLog& systemLog, FileSystem& /*files*/) {
    return WlrSession::open(systemLog);
}

OpenedDesktopSession WlrSession::open(SystemLog& systemLog) {
    WaylandConnection::Opened opened = WaylandConnection::connect();
    if (!opened.connection) {
        return {nullptr, opened.error};
    }
    auto* manager = opened.connection->bind<zwlr_foreign_toplevel_manager_v1>(
        zwlr_foreign_toplevel_manager_v1_interface, ForeignToplevels::kVersion);
    if (manager == nullptr) {
        return {nullptr,
                "the compositor does not offer zwlr_foreign_toplevel_manager_v1 (no wlroots "
                "desktop)"};
    }
    auto session = std::make_unique<WlrSession>(std::move(opened.connection), manager);
    if (session->connection_->broken()) {
        return {nullptr, "the Wayland compositor broke off the connection"};
    }
    systemLog.info(std::string("Watching a wlroots desktop; idle time from ") +
                   session->idleWatch_.protocol());
    return {std::move(session), ""};
}

WlrSession::WlrSession(std::unique_ptr<WaylandConnection> connection,
                       zwlr_foreign_toplevel_manager_v1* manager)
    : connection_(std::move(connection)),
      toplevels_(manager, *connection_),
      windowList_(toplevels_),
      idleWatch_(*connection_) {
    // The windows open already: what is in front is known before anyone
    // subscribes, so it makes no switch.
    connection_->roundtrip();
    settle();
}

void WlrSession::processEvents() {
    if (connectionLost_) {
        return;
    }
    connection_->dispatchAvailable();
    // A handler that runs a nested main loop calls in again: the call above
    // read the socket, and the outer call settles what it read once the
    // handler returns.
    if (processing_) {
        return;
    }
    const NestedCallGuard guard{processing_};
    settle();
    noticeBrokenConnection();
}

// What was read before a break still happened: it is settled all the same.
void WlrSession::settle() {
    while (std::optional<WaylandConnection::TimePoint> changedAt = toplevels_.takeFrontChange()) {
        if (toplevels_.front() == nullptr) {
            waitForBurst();
        }
        settleClosedWindows();
        toplevels_.takeFrontChange();  // the rest of the same switch
        const ForeignToplevel* front = toplevels_.front();
        workspace_.update(front ? applicationOf(front->state()) : std::nullopt, changedAt);
    }
    settleClosedWindows();
}

void WlrSession::settleClosedWindows() {
    if (connection_->broken()) {
        toplevels_.reopenClosed();
    } else {
        toplevels_.forgetClosed();
    }
}

// The events that follow a window's deactivation within a moment, if any: a
// bounded wait, only while no window is in front.
void WlrSession::waitForBurst() {
    const auto deadline = std::chrono::steady_clock::now() + kBurstWait;
    while (toplevels_.front() == nullptr && !connection_->broken()) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now());
        if (left.count() <= 0 || !connection_->dispatchWithin(left)) {
            return;
        }
    }
}

void WlrSession::noticeBrokenConnection() {
    if (connectionLost_ || !connection_->broken()) {
        return;
    }
    connectionLost_ = true;
    if (lostHandler_) {
        lostHandler_();
    }
}

}  // namespace tesuko
