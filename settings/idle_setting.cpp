// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/idle_setting.h"

#include <charconv>
#include <optional>
#include <string>

namespace tesuko {

namespace {

constexpr int kMostMinutes = 24 * 60;

std::optional<int> wholeMinutes(const std::string& text) {
    int minutes = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, minutes);
    if (error != std::errc{} || stop != end || minutes < 1 || minutes > kMostMinutes) {
        return std::nullopt;
    }
    return minutes;
}

}  // namespace

bool IdleSetting::pauseWhenIdle() const {
    return defaults_.string(kPauseWhenIdleKey) == "true";
}

void IdleSetting::setPauseWhenIdle(bool on) {
    defaults_.set(kPauseWhenIdleKey, on ? "true" : "false");
    if (!defaults_.string(kIdleMinutesKey)) {
        defaults_.set(kIdleMinutesKey, std::to_string(kDefaultThreshold.count()));
    }
    if (!defaults_.synchronize()) {
        log_.error(
            "Could not save \"Pause When Idle\" for the next start: the settings store "
            "cannot be written");
    }
}

std::chrono::minutes IdleSetting::threshold() const {
    const std::optional<std::string> stored = defaults_.string(kIdleMinutesKey);
    if (!stored) {
        return kDefaultThreshold;
    }
    if (const std::optional<int> minutes = wholeMinutes(*stored)) {
        return std::chrono::minutes(*minutes);
    }
    log_.warning(std::string(kIdleMinutesKey) + " is not a whole number of minutes from 1 to " +
                 std::to_string(kMostMinutes) + "; using " +
                 std::to_string(kDefaultThreshold.count()));
    return kDefaultThreshold;
}

}  // namespace tesuko
