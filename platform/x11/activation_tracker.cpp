#include "platform/x11/activation_tracker.h"

#include <utility>

namespace tesuko {

std::optional<DeactivationNotification> ActivationTracker::update(ActiveWindow next) {
    if (next.application == current_.application) {
        current_ = std::move(next);
        return std::nullopt;
    }
    DeactivationNotification notification;
    if (current_.application) {
        notification.userInfo = deactivationUserInfo(current_, next);
    }
    current_ = std::move(next);
    return notification;
}

}  // namespace tesuko
