// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/daily_totals.h"

#include <utility>

namespace tesuko {

std::optional<DailyTotals> DailyTotals::restored(std::vector<DayTotals> days,
                                                 std::size_t applications) {
    DailyTotals totals;
    std::vector<std::uint32_t> seenOn(applications, kNone);
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
        totals.lengths_.push_back(-1);
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
        lengths_.push_back(-1);
    }
    return found->second;
}

void DailyTotals::open(std::uint32_t index, std::uint64_t line) {
    settle();
    DayTotals& day = days_[index];
    open_.index = index;
    ++open_.opening;
    for (const ApplicationSeconds& entry : day.applications) {
        open_.makeRoomFor(entry.application);
        open_.seconds[entry.application] = entry.seconds;
        open_.openedAt[entry.application] = open_.opening;
    }
    // Its later lines come after this one.
    day.firstLine = std::min(day.firstLine, line);
}

void DailyTotals::settle() {
    if (open_.index == kNone) {
        return;
    }
    DayTotals& day = days_[open_.index];
    for (ApplicationSeconds& entry : day.applications) {
        entry.seconds = std::exchange(open_.seconds[entry.application], -0.0);
    }
    if (day.applications.empty()) {
        // A new day, the most of them: its list is made once, at its size.
        day.applications.reserve(open_.arrived);
    }
    for (std::size_t i = 0; i < open_.arrived; ++i) {
        std::uint32_t application = open_.arrivals[i];
        day.applications.push_back({application, std::exchange(open_.seconds[application], -0.0)});
    }
    day.lastLine = open_.lastLine;
    open_.arrived = 0;
    open_.index = kNone;
}

void DailyTotals::OpenDay::makeRoomFor(std::uint32_t application) {
    if (application < seconds.size()) {
        return;
    }
    seconds.resize(application + 1, -0.0);
    openedAt.resize(application + 1, 0);
    arrivals.resize(application + 2);
}

void DailyTotals::addAcrossMidnight(std::int32_t day, std::int64_t intoDay,
                                    std::uint32_t application, double seconds, std::uint64_t line,
                                    const LocalDays& localDays) {
    splitAtMidnights(
        day, intoDay, seconds,
        [&](std::int32_t each) { return lengthOf(indexOf(each), localDays); },
        [&](std::int32_t each, std::int64_t, double part) {
            addTo(indexOf(each), application, part, line);
        });
}

}  // namespace tesuko
