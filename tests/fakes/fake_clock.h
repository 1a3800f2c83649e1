#pragma once

#include <chrono>

#include "platform/clock.h"

namespace tesuko {

// A clock that moves only when told. Local time is UTC shifted by a fixed offset.
class FakeClock : public Clock {
  public:
    std::chrono::system_clock::time_point wallNow() override { return wall_; }
    std::chrono::steady_clock::time_point monotonicNow() override { return monotonic_; }
    LocalTime localTime(std::chrono::system_clock::time_point point) override;

    // Moves both clocks forward.
    void advance(std::chrono::microseconds by) {
        wall_ += by;
        monotonic_ += by;
    }
    // Sets the wall clock alone, as a user or NTP would.
    void setWall(std::chrono::system_clock::time_point wall) { wall_ = wall; }
    void setUtcOffset(std::chrono::minutes offset) { offset_ = offset; }

  private:
    std::chrono::system_clock::time_point wall_{};
    std::chrono::steady_clock::time_point monotonic_{std::chrono::hours(1000)};
    std::chrono::minutes offset_{0};
};

}  // namespace tesuko
