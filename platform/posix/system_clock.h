// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

namespace tesuko {

class SystemClock : public Clock {
  public:
    std::chrono::system_clock::time_point wallNow() override;
    std::chrono::steady_clock::time_point monotonicNow() override;
    LocalTime localTime(std::chrono::system_clock::time_point point) override;
};

}  // namespace tesuko
