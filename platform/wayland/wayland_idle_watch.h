// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "platform/idle_watch.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_proxy.h"

namespace tesuko {

// Idle time from the compositor, on any Wayland desktop that offers
// ext_idle_notifier_v1 (wlroots 0.17 on, KWin) or else KDE's older
// org_kde_kwin_idle (sway 1.7 offers only this). Either sends "idled" once
// the seat had no input for the threshold, and "resumed" at the next input:
// the last input then came a threshold before the idled event.
//
// Its handlers run while the connection's events are dispatched, so the
// owner of the connection must dispatch them.
class WaylandIdleWatch : public IdleWatch {
  public:
    explicit WaylandIdleWatch(WaylandConnection& connection);
    WaylandIdleWatch(const WaylandIdleWatch&) = delete;
    WaylandIdleWatch& operator=(const WaylandIdleWatch&) = delete;

    bool available() const override { return seat_ && (notifier_ || kdeIdle_); }
    void watch(std::chrono::milliseconds threshold, Handlers handlers) override;
    void stop() override;

    // Which protocol it watches with, for the system log.
    const char* protocol() const;

  private:
    static const ext_idle_notification_v1_listener kNotificationListener;
    static const org_kde_kwin_idle_timeout_listener kTimeoutListener;

    void onIdled();
    void onResumed();

    WaylandConnection& connection_;
    WaylandProxy<wl_seat> seat_;
    WaylandProxy<ext_idle_notifier_v1> notifier_;
    WaylandProxy<org_kde_kwin_idle> kdeIdle_;
    // The watch in force: one of the two.
    WaylandProxy<ext_idle_notification_v1> notification_{nullptr, ext_idle_notification_v1_destroy};
    WaylandProxy<org_kde_kwin_idle_timeout> kdeTimeout_{nullptr, org_kde_kwin_idle_timeout_release};
    std::chrono::milliseconds threshold_{};
    Handlers handlers_;
};

}  // namespace tesuko
