// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace tesuko {

// Event-kind masks: bit k stands for input event kind k.
inline constexpr std::uint64_t kLeftMouseDownMask = 1u << 1;
inline constexpr std::uint64_t kRightMouseDownMask = 1u << 3;
inline constexpr std::uint64_t kKeyDownMask = 1u << 10;

using MonitorHandle = std::uint64_t;

// Global monitors: they see input that goes to other applications.
class InputMonitors {
  public:
    using Handler = std::function<void()>;

    virtual ~InputMonitors() = default;

    // Whether this desktop lets input to other applications be seen at all
    // (Wayland does not). Where it does not, monitors install and never run.
    virtual bool available() const = 0;

    // The handler runs once for each input event of a kind in the mask.
    virtual MonitorHandle install(std::uint64_t eventMask, Handler handler) = 0;
    virtual void remove(MonitorHandle handle) = 0;
};

}  // namespace tesuko
