// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "platform/workspace.h"
#include "platform/x11/active_window.h"

namespace tesuko {

// Turns the sequence of active windows into application switches: one for
// every change of application, none for a move between two windows of the
// same application or for the same window reported again.
class ActivationTracker {
  public:
    explicit ActivationTracker(ActiveWindow initial = {}) : current_(std::move(initial)) {}

    const ActiveWindow& current() const { return current_; }

    // Takes the window active now; the switch to post when that changed the
    // application in front.
    std::optional<ApplicationSwitch> update(ActiveWindow next);

  private:
    ActiveWindow current_;
};

}  // namespace tesuko
