// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/input_monitors.h"

namespace tesuko {

// Wayland lets no client see the input that goes to other clients: monitors
// install and never run, and the records leave clicks and keys empty.
class NoInputMonitors : public InputMonitors {
  public:
    bool available() const override { return false; }
    MonitorHandle install(std::uint64_t, Handler) override { return nextHandle_++; }
    void remove(MonitorHandle) override {}

  private:
    MonitorHandle nextHandle_ = 1;
};

}  // namespace tesuko
