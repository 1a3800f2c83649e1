// SPDX-License-Identifier: GPL-3.0-or-later
// The per-day totals, however the days come, and as saved.
#include "ranking/daily_totals.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "log/civil_day.h"

namespace tesuko {
namespace {

using PlainSums = std::map<std::int32_t, std::map<std::uint32_t, double>>;

PlainSums plainSumsOf(const DailyTotals& totals) {
    PlainSums sums;
    for (const DayTotals& day : totals.days()) {
        for (const ApplicationSeconds& entry : day.applications) {
            EXPECT_TRUE(sums[day.day].emplace(entry.application, entry.seconds).second)
                << "application " << entry.application << " twice on day " << day.day;
        }
    }
    return sums;
}

// Days that come back at random with applications new to them, settled at
// random, over many blocks of entries: lists grow in place, move and grow
// again, and still hold what plain sums do.
TEST(DailyTotalsTest, HoldPlainSumsHoweverTheDaysComeBack) {
    std::mt19937 random(20261207);
    const LocalDays localDays;  // the records, at 01:00 and short, cross no midnight
    const std::int32_t first = dayNumber(2026, 1, 1);
    DailyTotals totals;
    PlainSums expected;
    for (std::uint64_t line = 0; line < 20000; ++line) {
        const auto back = random() % 8 == 0 ? std::int32_t(random() % 20) : 0;
        const std::int32_t day = first + std::int32_t(line / 40) - back;
        const auto application = std::uint32_t(random() % 300);
        const double seconds = random() % 100;  // whole: exact in any order
        totals.add({day, 3600}, application, seconds, line, localDays);
        expected[day][application] += seconds;
        if (random() % 50 == 0) {
            totals.settle();
        }
    }
    totals.settle();
    EXPECT_EQ(plainSumsOf(totals), expected);
}

// A saved table comes back only when sound, and compares unequal when any
// field of it differs.
TEST(DailyTotalsTest, RestoreOnlyWhenSoundAndCompareEveryField) {
    using Entries = std::vector<ApplicationSeconds>;
    const Entries two{{0, 5}, {1, 7}}, twice{{0, 5}, {0, 7}}, unknown{{0, 5}, {2, 7}};
    const Entries otherSeconds{{0, 5}, {1, 8}}, otherOrder{{1, 7}, {0, 5}}, shorter{{0, 5}};
    const DayTotals kept{100, 0, 9, two};
    const DayTotals later{101, 10, 19, {}};
    for (const auto& days : {std::vector{kept, kept}, std::vector{DayTotals{100, 0, 9, twice}},
                             std::vector{DayTotals{100, 0, 9, unknown}}}) {
        EXPECT_FALSE(DailyTotals::restored(days, 2)) << days.size();
    }
    const auto saved = DailyTotals::restored(std::vector{kept, later}, 2);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*DailyTotals::restored(std::vector{kept, later}, 2), *saved);
    for (const DayTotals& changed :
         {DayTotals{99, 0, 9, two}, DayTotals{100, 1, 9, two}, DayTotals{100, 0, 8, two},
          DayTotals{100, 0, 9, otherSeconds}, DayTotals{100, 0, 9, otherOrder},
          DayTotals{100, 0, 9, shorter}}) {
        const auto restored = DailyTotals::restored(std::vector{changed, later}, 2);
        ASSERT_TRUE(restored);
        EXPECT_FALSE(*restored == *saved) << changed.day << " " << changed.lastLine;
    }
}

}  // namespace
}  // namespace tesuko
