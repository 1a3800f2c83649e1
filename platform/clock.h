// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace tesuko {

// Broken-down local time, Gregorian calendar.
struct LocalTime {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;

    // Wall-clock time: what a record shows as the start of an interval.
    virtual std::chrono::system_clock::time_point wallNow() = 0;
    // Never goes back: what intervals are measured with. CLOCK_MONOTONIC, not
    // CLOCK_BOOTTIME: it stands still while the machine is suspended, and a
    // sleep that came without warning (no PrepareForSleep, no lock) then adds
    // nothing to the interval in progress.
    virtual std::chrono::steady_clock::time_point monotonicNow() = 0;
    // The wall-clock point in the local time zone.
    virtual LocalTime localTime(std::chrono::system_clock::time_point point) = 0;
};

}  // namespace tesuko
