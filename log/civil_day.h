// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tesuko {

// A date of the proleptic Gregorian calendar.
struct CivilDate {
    int year = 1970;
    int month = 1;  // 1-12
    int day = 1;    // 1-31

    bool operator==(const CivilDate&) const = default;
};

// Days since 1970-01-01 and back, in a handful of integer operations: the
// scanner needs a day number for every record, far too often for a calendar
// object (the well-known era arithmetic, with March as the first month so that
// the leap day comes last).
constexpr std::int32_t dayNumber(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr CivilDate civilDate(std::int32_t number) {
    const std::int32_t z = number + 719468;
    const std::int32_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int32_t dayOfEra = z - era * 146097;
    const std::int32_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int32_t shifted = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = int(shifted < 10 ? shifted + 3 : shifted - 9);
    return {int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

constexpr int daysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// 0 for Sunday to 6 for Saturday.
constexpr int weekday(std::int32_t number) {
    return int(number >= -4 ? (number + 4) % 7 : (number + 5) % 7 + 6);
}

}  // namespace tesuko
