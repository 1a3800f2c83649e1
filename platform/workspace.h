#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tesuko {

// Sent when the application in front stops being the active one.
struct DeactivationNotification {
    // Text form of the notification's user info, when it has one. Its ninth
    // space-separated token ends, after its last ".", with the name under which
    // the deactivated application's windows are listed.
    std::optional<std::string> userInfo;
    // When the switch happened, on the steady clock: a busy main loop may
    // handle the notification much later. Never later than the moment the
    // notification is posted; none when the desktop does not tell.
    std::optional<std::chrono::steady_clock::time_point> when;
};

// The desktop's notion of "the application in front" and its changes.
class Workspace {
  public:
    using DeactivationHandler = std::function<void(const DeactivationNotification&)>;

    virtual ~Workspace() = default;

    // Display name of the application active at the moment of the call.
    virtual std::optional<std::string> activeApplication() = 0;

    // One handler at a time; subscribing again replaces it.
    virtual void subscribeDeactivation(DeactivationHandler handler) = 0;
    virtual void unsubscribeDeactivation() = 0;
};

}  // namespace tesuko
