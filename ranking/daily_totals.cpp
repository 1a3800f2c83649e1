// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/daily_totals.h"

#include <algorithm>
#include <utility>

namespace tesuko {

std::optional<DailyTotals> DailyTotals::restored(std::span<const DayTotals> days,
                                                 std::size_t applications) {
    Restoring restoring(applications);
    for (const DayTotals& day : days) {
        if (!restoring.add(day)) {
            return std::nullopt;
        }
    }
    return std::move(restoring).finish();
}

bool DailyTotals::Restoring::add(const DayTotals& day) {
    auto index = std::uint32_t(totals_.days_.size());
    if (!totals_.indexes_.emplace(day.day, index).second) {
        return false;
    }
    for (const ApplicationSeconds& entry : day.applications) {
        if (entry.application >= seenOn_.size() || seenOn_[entry.application] == index) {
            return false;
        }
        seenOn_[entry.application] = index;
    }
    std::span<ApplicationSeconds> entries = totals_.entries_.take(day.applications.size());
    std::ranges::copy(day.applications, entries.begin());
    totals_.days_.push_back({day.day, day.firstLine, day.lastLine, entries});
    totals_.places_.push_back({-1, std::uint32_t(entries.size())});
    return true;
}

bool DailyTotals::operator==(const DailyTotals& other) const {
    return std::ranges::equal(days_, other.days_, [](const DayTotals& a, const DayTotals& b) {
        return a.day == b.day && a.firstLine == b.firstLine && a.lastLine == b.lastLine &&
               std::ranges::equal(a.applications, b.applications);
    });
}

const DayTotals* DailyTotals::find(std::int32_t day) const {
    auto found = indexes_.find(day);
    return found == indexes_.end() ? nullptr : &days_[found->second];
}

std::uint32_t DailyTotals::lookUp(std::int32_t day) {
    auto [found, fresh] = indexes_.emplace(day, std::uint32_t(days_.size()));
    if (fresh) {
        days_.push_back({day, UINT64_MAX, 0, {}});
        places_.emplace_back();
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
    const std::size_t known = day.applications.size();
    std::span<ApplicationSeconds> entries = lengthened(open_.index, open_.arrived);
    for (ApplicationSeconds& entry : entries.first(known)) {
        entry.seconds = std::exchange(open_.seconds[entry.application], -0.0);
    }
    for (std::size_t i = 0; i < open_.arrived; ++i) {
        std::uint32_t application = open_.arrivals[i];
        entries[known + i] = {application, std::exchange(open_.seconds[application], -0.0)};
    }
    day.applications = entries;
    day.lastLine = open_.lastLine;
    open_.arrived = 0;
    open_.index = kNone;
}

std::span<ApplicationSeconds> DailyTotals::lengthened(std::uint32_t index, std::size_t more) {
    const DayTotals& day = days_[index];
    std::uint32_t& room = places_[index].room;
    // The list was taken from entries_, writable: only days() shows it const.
    std::span<ApplicationSeconds> list(const_cast<ApplicationSeconds*>(day.applications.data()),
                                       day.applications.size());
    const std::size_t size = list.size() + more;
    if (size <= room) {
        return {list.data(), size};
    }
    std::span<ApplicationSeconds> held(list.data(), room);
    if (!list.empty() && entries_.extend(held, size - room)) {
        room = std::uint32_t(size);
        return held;
    }
    // A new day's list is made at its size. One that comes back after others
    // began (the clock set back, logs joined by hand) moves, with room to
    // double: coming back over and over costs a few times its size, not its
    // square.
    std::span<ApplicationSeconds> moved = entries_.take(list.empty() ? size : 2 * size);
    std::ranges::copy(list, moved.begin());
    room = std::uint32_t(moved.size());
    return moved.first(size);
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
