// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wayland/wayland_idle_watch.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace tesuko {

const ext_idle_notification_v1_listener WaylandIdleWatch::kNotificationListener{
    [](void* data, ext_idle_notification_v1*) { static_cast<WaylandIdleWatch*>(data)->onIdled(); },
    [](void* data, ext_idle_notification_v1*) {
        static_cast<WaylandIdleWatch*>(data)->onResumed();
    }};

const org_kde_kwin_idle_timeout_listener WaylandIdleWatch::kTimeoutListener{
    [](void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdleWatch*>(data)->onIdled(); },
    [](void* data, org_kde_kwin_idle_timeout*) {
        static_cast<WaylandIdleWatch*>(data)->onResumed();
    }};

// Only the newer protocol is bound when both are offered.
WaylandIdleWatch::WaylandIdleWatch(WaylandConnection& connection)
    : connection_(connection),
      seat_(connection.bind<wl_seat>(wl_seat_interface, 1), wl_seat_destroy),
      notifier_(connection.bind<ext_idle_notifier_v1>(ext_idle_notifier_v1_interface, 1),
                ext_idle_notifier_v1_destroy),
      kdeIdle_(
          notifier_ ? nullptr : connection.bind<org_kde_kwin_idle>(org_kde_kwin_idle_interface, 1),
          org_kde_kwin_idle_destroy) {}

const char* WaylandIdleWatch::protocol() const {
    if (!seat_) {
        return "none (no seat)";
    }
    return notifier_ ? "ext_idle_notifier_v1" : kdeIdle_ ? "org_kde_kwin_idle" : "none";
}

void WaylandIdleWatch::watch(std::chrono::milliseconds threshold, Handlers handlers) {
    stop();
    if (!available()) {
        return;
    }
    threshold_ = threshold;
    handlers_ = std::move(handlers);
    const auto timeout = static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(threshold.count(), 0, std::numeric_limits<std::uint32_t>::max()));
    if (notifier_) {
        notification_.reset(
            ext_idle_notifier_v1_get_idle_notification(notifier_.get(), timeout, seat_.get()));
        ext_idle_notification_v1_add_listener(notification_.get(), &kNotificationListener, this);
    } else {
        kdeTimeout_.reset(org_kde_kwin_idle_get_idle_timeout(kdeIdle_.get(), seat_.get(), timeout));
        org_kde_kwin_idle_timeout_add_listener(kdeTimeout_.get(), &kTimeoutListener, this);
    }
    connection_.flush();
}

void WaylandIdleWatch::stop() {
    notification_.reset();
    kdeTimeout_.reset();
    handlers_ = {};
    connection_.flush();
}

// Copies: a handler may stop or replace the watch while it runs.
void WaylandIdleWatch::onIdled() {
    if (auto idle = handlers_.idle) {
        idle(connection_.lastReadAt() - threshold_);
    }
}

void WaylandIdleWatch::onResumed() {
    if (auto active = handlers_.active) {
        active(connection_.lastReadAt());
    }
}

}  // namespace tesuko
