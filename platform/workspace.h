// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tesuko {

// An application as the desktop knows it.
struct Application {
    std::string name;  // the name its windows are listed under
    std::optional<std::uint32_t> pid;

    bool operator==(const Application&) const = default;
};

// The application in front changed.
struct ApplicationSwitch {
    std::optional<Application> deactivated;  // none when no application was in front
    std::optional<Application> activated;    // none when none is in front now
    // When it happened, on the steady clock: a busy main loop may handle the
    // switch much later. Never later than the moment it is posted; none when
    // the desktop does not tell.
    std::optional<std::chrono::steady_clock::time_point> when;
};

// The desktop's notion of "the application in front" and its changes.
class Workspace {
  public:
    using SwitchHandler = std::function<void(const ApplicationSwitch&)>;

    virtual ~Workspace() = default;

    // The name of the application active at the moment of the call.
    virtual std::optional<std::string> activeApplication() = 0;

    // One handler at a time; subscribing again replaces it.
    virtual void subscribeSwitches(SwitchHandler handler) = 0;
    virtual void unsubscribeSwitches() = 0;
};

}  // namespace tesuko
