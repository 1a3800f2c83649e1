// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/date_range.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>

#include <cstdio>
#include <memory>

#include "log/civil_day.h"

namespace tesuko {

DateRange periodRange(Period period, std::int32_t today, int firstWeekday) {
    switch (period) {
        case Period::today:
            return {today, today + 1};
        case Period::yesterday:
            return {today - 1, today};
        case Period::thisWeek: {
            std::int32_t start = today - (weekday(today) - firstWeekday + 7) % 7;
            return {start, start + 7};
        }
        case Period::thisMonth: {
            CivilDate date = civilDate(today);
            std::int32_t start = dayNumber(date.year, date.month, 1);
            return {start, start + daysInMonth(date.year, date.month)};
        }
    }
    return {today, today + 1};
}

int firstWeekdayOf(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::Locale::createFromName(locale.c_str()), status));
    if (U_FAILURE(status) || !calendar) {
        return 1;
    }
    UCalendarDaysOfWeek first = calendar->getFirstDayOfWeek(status);
    return U_SUCCESS(status) ? int(first) - UCAL_SUNDAY : 1;
}

std::optional<std::int32_t> dayFromIsoDate(std::string_view text) {
    auto digits = [&](std::size_t from, std::size_t count) -> int {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return -1;
            }
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    int year = digits(0, 4);
    int month = digits(5, 2);
    int day = digits(8, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
        return std::nullopt;
    }
    return dayNumber(year, month, day);
}

std::string isoDate(std::int32_t day) {
    CivilDate date = civilDate(day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string rangeText(const DateRange& range) {
    if (range.days() <= 1) {
        return isoDate(range.first);
    }
    return isoDate(range.first) + " to " + isoDate(range.end - 1);
}

std::string exclusiveRangeText(const DateRange& range) {
    return "from " + isoDate(range.first) + " to " + isoDate(range.end) + " (exclusive)";
}

}  // namespace tesuko
