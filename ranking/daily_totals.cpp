// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/daily_totals.h"

namespace tesuko {

std::optional<DailyTotals> DailyTotals::restored(std::vector<DayTotals> days,
                                                 std::size_t applications) {
    DailyTotals totals;
    std::vector<std::uint32_t> seenOn(applications, UINT32_MAX);
    for (DayTotals& day : days) {
        auto index = std::uint32_t(totals.days_.size());
        if (!totals.indexes_.emplace(day.day, index).second) {
            return std::nullopt;
        }
        for (const ApplicationSeconds& entry : day.applications) {
            if (entry.application >= applications || seenOn[entry.application] == index) {
                return std::nullopt;
            }
            seenOn[entry.application] = index;
        }
        totals.days_.push_back(std::move(day));
        totals.books_.push_back({.reentered = true});  // its records came in an earlier run
    }
    return totals;
}

const DayTotals* DailyTotals::find(std::int32_t day) const {
    auto found = indexes_.find(day);
    return found == indexes_.end() ? nullptr : &days_[found->second];
}

std::uint32_t DailyTotals::lookUp(std::int32_t day) {
    auto [found, fresh] = indexes_.emplace(day, std::uint32_t(days_.size()));
    if (fresh) {
        days_.push_back({day, UINT64_MAX, 0, {}});
        books_.emplace_back();
    }
    return found->second;
}

void DailyTotals::enter(std::uint32_t index) {
    if (!days_[index].applications.empty()) {
        books_[index].reentered = true;
    }
    addingTo_ = index;
}

// The cursors spare a search on any day that took its records in one run.
void DailyTotals::addFirstOfDay(std::uint32_t index, std::uint32_t application, double seconds) {
    DayTotals& day = days_[index];
    if (application >= cursors_.size()) {
        cursors_.resize(application + 1);
    }
    auto& entries = day.applications;
    auto found =
        !books_[index].reentered
            ? entries.end()
            : std::find_if(entries.begin(), entries.end(), [&](const ApplicationSeconds& entry) {
                  return entry.application == application;
              });
    if (found == entries.end()) {
        entries.push_back({application, seconds});
        found = entries.end() - 1;
    } else {
        found->seconds += seconds;
    }
    cursors_[application] = {index, std::uint32_t(found - entries.begin())};
}

void DailyTotals::addAcrossMidnight(std::int32_t day, std::int64_t intoDay,
                                    std::uint32_t application, double seconds, std::uint64_t line,
                                    const LocalDays& localDays) {
    splitAtMidnights(
        day, intoDay, seconds,
        [&](std::int32_t each) { return lengthOf(indexOf(each), localDays); },
        [&](std::int32_t each, std::int64_t, double part) {
            std::uint32_t index = indexOf(each);
            addTo(days_[index], index, application, part, line);
        });
}

}  // namespace tesuko
