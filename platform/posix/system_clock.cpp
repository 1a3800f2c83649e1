// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/system_clock.h"

#include <ctime>

namespace tesuko {

std::chrono::system_clock::time_point SystemClock::wallNow() {
    return std::chrono::system_clock::now();
}

std::chrono::steady_clock::time_point SystemClock::monotonicNow() {
    return std::chrono::steady_clock::now();
}

LocalTime SystemClock::localTime(std::chrono::system_clock::time_point point) {
    // Truncate, not round: 13:40:48.9 is second 48.
    std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(point));
    std::tm local{};
    ::tzset();
    ::localtime_r(&seconds, &local);
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace tesuko
