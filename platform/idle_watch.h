// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>

namespace tesuko {

// Tells when the user has given the desktop no input (no key, click or
// pointer motion) for a while, and when input comes back. A backend that
// needs a timer for this owns it.
class IdleWatch {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Handlers {
        // No input for the threshold; the last came at `lastInput`.
        std::function<void(TimePoint lastInput)> idle;
        // Input again, at `at`, after idle() ran.
        std::function<void(TimePoint at)> active;
    };

    virtual ~IdleWatch() = default;

    // Whether this desktop tells idle time at all.
    virtual bool available() const = 0;
    // Watches with this threshold, counted from the last input before the
    // call; replaces any watch before. Handlers run on the main loop.
    virtual void watch(std::chrono::milliseconds threshold, Handlers handlers) = 0;
    // No handler runs after this until the next watch().
    virtual void stop() = 0;
};

}  // namespace tesuko
