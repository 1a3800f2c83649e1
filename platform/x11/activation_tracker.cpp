// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/activation_tracker.h"

#include <utility>

namespace tesuko {

namespace {

std::optional<Application> applicationOf(const ActiveWindow& window) {
    if (!window.application) {
        return std::nullopt;
    }
    return Application{*window.application, window.pid};
}

}  // namespace

std::optional<ApplicationSwitch> ActivationTracker::update(ActiveWindow next) {
    if (next.application == current_.application) {
        current_ = std::move(next);
        return std::nullopt;
    }
    ApplicationSwitch change{applicationOf(current_), applicationOf(next), std::nullopt};
    current_ = std::move(next);
    return change;
}

}  // namespace tesuko
