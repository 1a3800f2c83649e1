// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// Whether recording pauses while nobody uses the desk ("pauseWhenIdle", off
// unless "true") and after how many minutes without input ("idleMinutes",
// a whole number from 1 to 1440, 5 when absent or anything else).
class IdleSetting {
  public:
    static constexpr const char* kPauseWhenIdleKey = "pauseWhenIdle";
    static constexpr const char* kIdleMinutesKey = "idleMinutes";
    static constexpr std::chrono::minutes kDefaultThreshold{5};

    IdleSetting(UserDefaults& defaults, SystemLog& systemLog)
        : defaults_(defaults), log_(systemLog) {}

    bool pauseWhenIdle() const;
    // Stores the choice, and the threshold if none is stored, so that the
    // user finds it in the settings file to change.
    void setPauseWhenIdle(bool on);
    // Says in the system log why a stored value is not used.
    std::chrono::minutes threshold() const;

  private:
    UserDefaults& defaults_;
    SystemLog& log_;
};

}  // namespace tesuko
