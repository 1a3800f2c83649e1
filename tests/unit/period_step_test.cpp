// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping a report's period back and forth across month and year ends, leap
// days and the days the clocks change.
#include <gtest/gtest.h>

#include "report/period_step.h"

namespace tesuko {
namespace {

TEST(PeriodStep, StepsMonthsByMonthsAndOtherRangesByTheirLength) {
    struct Row {
        const char* first;
        const char* last;
        int by;
        const char* stepped;
    };
    const Row rows[] = {
        {"2026-12-01", "2026-12-31", 1, "2027-01-01 to 2027-01-31"},
        {"2027-01-01", "2027-01-31", -1, "2026-12-01 to 2026-12-31"},
        {"2028-01-01", "2028-01-31", 1, "2028-02-01 to 2028-02-29"},
        {"2026-03-01", "2026-03-31", -13, "2025-02-01 to 2025-02-28"},
        {"2026-12-28", "2027-01-03", 1, "2027-01-04 to 2027-01-10"},
        {"2026-03-02", "2026-03-08", 1, "2026-03-09 to 2026-03-15"},  // 23-hour day in New York
        {"2026-11-01", "2026-11-01", -1, "2026-10-31"},
        {"2026-12-05", "2026-12-31", -1, "2026-11-08 to 2026-12-04"},  // not a whole month
    };
    for (const Row& row : rows) {
        const DateRange range{*dayFromIsoDate(row.first), *dayFromIsoDate(row.last) + 1};
        EXPECT_EQ(rangeText(steppedRange(range, row.by)), row.stepped)
            << row.first << " by " << row.by;
    }
}

}  // namespace
}  // namespace tesuko
