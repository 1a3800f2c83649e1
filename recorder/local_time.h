// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "platform/clock.h"

namespace tesuko {

// The moment a local time names, found through the clock's own time zone.
// Near a change of the clock (summer time) a local time may name two moments:
// the later is taken, `near` telling which change is meant. One that names
// none, skipped by the change, gives a moment after the skip: for a skipped
// midnight, the moment the day begins.
std::chrono::sys_seconds wallTimeOf(Clock& clock, const LocalTime& local,
                                    std::chrono::sys_seconds near);

// The first moment of the next local day.
std::chrono::sys_seconds nextLocalMidnight(Clock& clock, std::chrono::system_clock::time_point now);

}  // namespace tesuko
