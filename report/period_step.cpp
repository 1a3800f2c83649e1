// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/period_step.h"

#include "log/civil_day.h"

namespace tesuko {

bool isWholeMonth(const DateRange& range) {
    const CivilDate first = civilDate(range.first);
    return first.day == 1 && range.days() == daysInMonth(first.year, first.month);
}

DateRange steppedRange(const DateRange& range, int by) {
    if (!isWholeMonth(range)) {
        return {range.first + range.days() * by, range.end + range.days() * by};
    }
    const CivilDate first = civilDate(range.first);
    const int months = first.year * 12 + first.month - 1 + by;
    const int year = months / 12;
    const int month = months % 12 + 1;
    const std::int32_t start = dayNumber(year, month, 1);
    return {start, start + daysInMonth(year, month)};
}

}  // namespace tesuko
