// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>

namespace tesuko {

// Calls back once, on the main loop, when the wall clock reaches a moment:
// the end of a timed pause. A moment that passed while the machine slept is
// called back soon after it wakes.
class Alarm {
  public:
    using Handler = std::function<void()>;

    virtual ~Alarm() = default;

    // Replaces the alarm set before, if any.
    virtual void set(std::chrono::system_clock::time_point when, Handler handler) = 0;
    // No handler runs after this until the next set().
    virtual void cancel() = 0;
};

// Where nothing pauses for a time: never calls back.
class NoAlarm : public Alarm {
  public:
    void set(std::chrono::system_clock::time_point, Handler) override {}
    void cancel() override {}
};

inline Alarm& noAlarm() {
    static NoAlarm none;
    return none;
}

}  // namespace tesuko
