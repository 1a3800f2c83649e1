// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "platform/clock.h"

namespace tesuko {

// A clock that moves only when told. Local time is UTC.
class FakeClock : public Clock {
  public:
    std::chrono::system_clock::time_point wallNow() override { return wall_; }
    std::chrono::steady_clock::time_point monotonicNow() override { return monotonic_; }
    LocalTime localTime(std::chrono::system_clock::time_point point) override {
        using namespace std::chrono;
        auto days = floor<std::chrono::days>(point);
        year_month_day date{days};
        hh_mm_ss time{floor<seconds>(point - days)};
        return LocalTime{
            int(date.year()),          int(unsigned(date.month())), int(unsigned(date.day())),
            int(time.hours().count()), int(time.minutes().count()), int(time.seconds().count())};
    }

    // Moves both clocks forward.
    void advance(std::chrono::microseconds by) {
        wall_ += by;
        monotonic_ += by;
    }
    // Sets the wall clock alone, as a user or NTP would.
    void setWall(std::chrono::system_clock::time_point wall) { wall_ = wall; }

  private:
    std::chrono::system_clock::time_point wall_{};
    std::chrono::steady_clock::time_point monotonic_{std::chrono::hours(1000)};
};

}  // namespace tesuko
