// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tesuko {

// Local calendar days from `first` up to, not including, `end` (day numbers,
// see log/civil_day.h).
struct DateRange {
    std::int32_t first = 0;
    std::int32_t end = 0;

    bool contains(std::int32_t day) const { return day >= first && day < end; }
    bool empty() const { return end <= first; }
    std::int32_t days() const { return empty() ? 0 : end - first; }
    bool operator==(const DateRange&) const = default;
};

enum class Period { today, yesterday, thisWeek, thisMonth };

// The period around `today`; a week starts on firstWeekday (0 for Sunday).
DateRange periodRange(Period period, std::int32_t today, int firstWeekday);

// The locale's first day of the week, 0 for Sunday to 6 for Saturday; the
// ICU default locale's for an empty one.
int firstWeekdayOf(const std::string& locale);

// "2026-12-01", strictly: four-digit year, two-digit month and day.
std::optional<std::int32_t> dayFromIsoDate(std::string_view text);
std::string isoDate(std::int32_t day);
// "2026-11-30 to 2026-12-06", or one date for a single day.
std::string rangeText(const DateRange& range);
// "from 2026-11-30 to 2026-12-07 (exclusive)": the end as CSV and JSON give it.
std::string exclusiveRangeText(const DateRange& range);

}  // namespace tesuko
