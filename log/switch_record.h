// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tesuko {

// One line of the activity log:
//   start time,application,window title,clicks,key presses,seconds\n
struct SwitchRecord {
    LocalTime start;
    std::string_view application;
    std::string_view title;
    // None where the desktop lets no input be counted: the field stays empty
    // rather than claiming zero.
    std::optional<std::int32_t> clicks = 0;
    std::optional<std::int32_t> keyPresses = 0;
    double seconds = 0;
};

// "2026年12月05日 13時40分48秒": calendar year, ASCII digits, whatever the locale.
std::string formatStartTime(const LocalTime& time);
// The start field as formatStartTime writes it, read as the ranking reads it:
// nullopt for anything but a real date and time of the years 0000-9999.
std::optional<LocalTime> parseStartTime(std::string_view field);

// Text as it may stand in a field: valid UTF-8, "," written as "、" and control
// characters (C0, DEL, C1) as spaces, so that a record is always one line of six fields.
void appendFieldText(std::string& out, std::string_view text);
std::string fieldText(std::string_view text);

// Six fixed decimals with "." as the point, in every locale.
void appendSeconds(std::string& out, double seconds);

// Longer titles are cut, between two characters, so that a record can be
// read back whole (a checkpoint is compared with the log's last line).
inline constexpr std::size_t kLongestTitle = 16 * 1024;  // bytes

std::string composeRecord(const SwitchRecord& record);

}  // namespace tesuko
