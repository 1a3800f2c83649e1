// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "report/date_range.h"

namespace tesuko {

// The range `by` periods later (earlier when negative): a whole calendar
// month steps by months, any other range by its own length, so a day steps
// by days and a week by weeks.
DateRange steppedRange(const DateRange& range, int by);

// Whether the range is one whole calendar month.
bool isWholeMonth(const DateRange& range);

}  // namespace tesuko
