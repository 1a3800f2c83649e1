#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "platform/workspace.h"

namespace tesuko {

class FakeWorkspace : public Workspace {
  public:
    std::optional<std::string> activeApplication() override { return active_; }
    void subscribeDeactivation(DeactivationHandler handler) override {
        handler_ = std::move(handler);
    }
    void unsubscribeDeactivation() override { handler_ = nullptr; }

    void setActiveApplication(std::optional<std::string> name) { active_ = std::move(name); }
    bool isSubscribed() const { return static_cast<bool>(handler_); }

    // Makes `next` active and tells the subscriber, as a real switch would.
    void switchTo(std::optional<std::string> next,
                  std::optional<std::string> userInfo = std::nullopt,
                  std::optional<std::chrono::steady_clock::time_point> when = std::nullopt) {
        active_ = std::move(next);
        if (handler_) {
            handler_(DeactivationNotification{std::move(userInfo), when});
        }
    }

  private:
    std::optional<std::string> active_;
    DeactivationHandler handler_;
};

}  // namespace tesuko
