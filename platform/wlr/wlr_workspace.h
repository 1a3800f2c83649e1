// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "platform/workspace.h"

namespace tesuko {

// The application in front is the app_id of the window in front. The session
// tells this object what is in front once a batch of events has been
// handled; a switch goes out only when the application changed, never for a
// move between windows of one application or a new title. The protocol
// gives no pid.
class WlrWorkspace : public Workspace {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;

    std::optional<std::string> activeApplication() override { return current_; }
    void subscribeSwitches(SwitchHandler handler) override { handler_ = std::move(handler); }
    void unsubscribeSwitches() override { handler_ = nullptr; }

    // The application in front now, in front since `when`.
    void update(std::optional<std::string> application, std::optional<TimePoint> when);

  private:
    std::optional<std::string> current_;
    SwitchHandler handler_;
};

}  // namespace tesuko
