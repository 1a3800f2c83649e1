// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/workspace.h"

namespace tesuko {

class FakeWorkspace : public Workspace {
  public:
    std::optional<std::string> activeApplication() override { return active_; }
    void subscribeSwitches(SwitchHandler handler) override { handler_ = std::move(handler); }
    void unsubscribeSwitches() override { handler_ = nullptr; }

    void setActiveApplication(std::optional<std::string> name) { active_ = std::move(name); }
    bool isSubscribed() const { return static_cast<bool>(handler_); }

    // Makes `next` active and tells the subscriber, as a real switch would.
    void switchTo(std::optional<std::string> next,
                  std::optional<std::chrono::steady_clock::time_point> when = std::nullopt) {
        ApplicationSwitch change{application(active_), application(next), when};
        active_ = std::move(next);
        if (handler_) {
            handler_(change);
        }
    }

  private:
    static std::optional<Application> application(const std::optional<std::string>& name) {
        return name ? std::optional<Application>(Application{*name, std::nullopt}) : std::nullopt;
    }

    std::optional<std::string> active_;
    SwitchHandler handler_;
};

}  // namespace tesuko
