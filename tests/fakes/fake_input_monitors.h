// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "platform/input_monitors.h"

namespace tesuko {

class FakeInputMonitors : public InputMonitors {
  public:
    bool available() const override { return available_; }
    MonitorHandle install(std::uint64_t eventMask, Handler handler) override {
        MonitorHandle handle = next_++;
        monitors_.emplace(handle, Monitor{eventMask, std::move(handler)});
        return handle;
    }
    void remove(MonitorHandle handle) override { monitors_.erase(handle); }

    // Delivers one input event of the given kind (a single-bit mask).
    void deliver(std::uint64_t kindMask) {
        for (auto& [handle, monitor] : monitors_) {
            if (monitor.mask & kindMask) {
                monitor.handler();
            }
        }
    }
    std::size_t installedCount() const { return monitors_.size(); }

    bool available_ = true;

  private:
    struct Monitor {
        std::uint64_t mask;
        Handler handler;
    };
    std::map<MonitorHandle, Monitor> monitors_;
    MonitorHandle next_ = 1;
};

}  // namespace tesuko
