// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <QTimer>
#include <chrono>
#include <optional>

#include "platform/idle_watch.h"

namespace tesuko {

// Idle time from the MIT-SCREEN-SAVER extension: the server counts the time
// since the last input of any kind, pointer motion included, whatever the
// screensaver settings. A timer wakes the watch when the threshold would
// pass; while idle it asks once a second whether input came back, and takes
// the server's count to tell when it did.
class X11IdleWatch : public IdleWatch {
  public:
    X11IdleWatch(xcb_connection_t* connection, xcb_window_t root);

    bool available() const override { return available_; }
    void watch(std::chrono::milliseconds threshold, Handlers handlers) override;
    void stop() override;

  private:
    std::optional<std::chrono::milliseconds> sinceLastInput() const;
    void check();

    xcb_connection_t* connection_;
    xcb_window_t root_;
    bool available_;
    QTimer timer_;
    std::chrono::milliseconds threshold_{};
    Handlers handlers_;
    std::optional<TimePoint> idleSince_;  // the last input, while idle
};

}  // namespace tesuko
