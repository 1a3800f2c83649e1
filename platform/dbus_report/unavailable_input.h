// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/idle_watch.h"
#include "platform/input_monitors.h"

namespace tesuko {

// A desktop that shows us no input to other applications: monitors install
// and never run.
class UnavailableInputMonitors : public InputMonitors {
  public:
    bool available() const override { return false; }
    MonitorHandle install(std::uint64_t, Handler) override { return ++lastHandle_; }
    void remove(MonitorHandle) override {}

  private:
    MonitorHandle lastHandle_ = 0;
};

// A desktop that does not tell idle time.
class UnavailableIdleWatch : public IdleWatch {
  public:
    bool available() const override { return false; }
    void watch(std::chrono::milliseconds, Handlers) override {}
    void stop() override {}
};

}  // namespace tesuko
