// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "log/wall_start.h"
#include "ranking/block_arena.h"
#include "ranking/local_days.h"

namespace tesuko {

// An interval is split over this many days at most; what is left of one
// longer (no recorder writes it, a damaged line may claim it) stays on the last.
inline constexpr std::int32_t kLongestSplit = 366;

// Splits an interval that starts intoDay real seconds after its day began at
// the midnights it crosses: onPart(day, secondsIntoThatDay, seconds) for each
// day it covers, in order. lengthOf(day) gives a day's real length. Nothing
// positive crosses a midnight, so zero, negative and NaN seconds stay whole.
template <typename LengthOf, typename OnPart>
void splitAtMidnights(std::int32_t day, std::int64_t intoDay, double seconds, LengthOf&& lengthOf,
                      OnPart&& onPart) {
    double left = seconds;
    for (std::int32_t step = 0;; ++step, ++day, intoDay = 0) {
        double room = double(std::max<std::int64_t>(lengthOf(day) - intoDay, 0));
        if (!(left > room) || step == kLongestSplit) {
            onPart(day, intoDay, left);
            return;
        }
        if (room > 0) {
            onPart(day, intoDay, room);
        }
        left -= room;
    }
}

// One application's seconds on one day.
struct ApplicationSeconds {
    std::uint32_t application = 0;  // a position in ApplicationTotals
    double seconds = 0;

    bool operator==(const ApplicationSeconds&) const = default;
};

struct DayTotals {
    std::int32_t day = 0;  // see dayNumber
    // Offsets in the log of the first and the last line whose interval counts
    // on this day: the stretch to read again for the titles. None when first
    // is past last.
    std::uint64_t firstLine = 0;
    std::uint64_t lastLine = 0;
    // In order of first appearance that day; the DailyTotals holds them.
    std::span<const ApplicationSeconds> applications;
};

// Seconds per application per local day, intervals split at midnight: what a
// report of any range of days is summed from, without reading the log again.
class DailyTotals {
  public:
    // Days saved earlier; nullopt unless each day appears once, each
    // application once a day, and every application is below `applications`.
    static std::optional<DailyTotals> restored(std::span<const DayTotals> days,
                                               std::size_t applications);
    // The same a day at a time, for days read one by one.
    class Restoring;

    // Adds a record's seconds to the days its interval covers; `line` is the
    // offset of its line in the log. days() and find() show it after settle().
    void add(const WallStart& start, std::uint32_t application, double seconds, std::uint64_t line,
             const LocalDays& localDays) {
        if (start.day != last_.day || last_.index == kNone) {
            std::uint32_t index = indexOf(start.day);
            last_ = {start.day, index, lengthOf(index, localDays)};
        }
        // A day the clocks change on is the only one where wall-clock seconds
        // are not real seconds since midnight.
        std::int64_t intoDay = last_.length == 86400
                                   ? start.second
                                   : localDays.epochSeconds(start) - localDays.dayStart(start.day);
        if (!(seconds > double(last_.length - intoDay))) {
            addTo(last_.index, application, seconds, line);
            return;
        }
        addAcrossMidnight(start.day, intoDay, application, seconds, line, localDays);
    }
    // Writes what was added since the last call into days().
    void settle();

    // In order of first appearance; valid until the next add() or settle().
    std::span<const DayTotals> days() const { return days_; }
    const DayTotals* find(std::int32_t day) const;

    bool operator==(const DailyTotals& other) const;

  private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    std::uint32_t indexOf(std::int32_t day) {
        if (lastIndex_ < days_.size() && days_[lastIndex_].day == day) {
            return lastIndex_;
        }
        return lastIndex_ = lookUp(day);
    }
    std::uint32_t lookUp(std::int32_t day);
    std::int64_t lengthOf(std::uint32_t index, const LocalDays& localDays) {
        std::int32_t& length = places_[index].length;
        if (length < 0) {
            length = std::int32_t(localDays.dayLength(days_[index].day));
        }
        return length;
    }
    void addTo(std::uint32_t index, std::uint32_t application, double seconds, std::uint64_t line) {
        if (index != open_.index) {
            open(index, line);
        }
        // Lines come in the order of the log, whose bytes before the scan's
        // position never change.
        open_.lastLine = line;
        if (application >= open_.seconds.size()) {
            open_.makeRoomFor(application);
        }
        // An application's first seconds of the opening are noted without a
        // branch: whether it had any is as good as random from record to record.
        open_.arrivals[open_.arrived] = application;
        open_.arrived += open_.openedAt[application] != open_.opening;
        open_.openedAt[application] = open_.opening;
        open_.seconds[application] += seconds;
    }
    void open(std::uint32_t index, std::uint64_t line);
    std::span<ApplicationSeconds> lengthened(std::uint32_t index, std::size_t more);
    void addAcrossMidnight(std::int32_t day, std::int64_t intoDay, std::uint32_t application,
                           double seconds, std::uint64_t line, const LocalDays& localDays);

    // A log of decades has tens of thousands of days: both take their memory
    // from the default memory resource, where the program gives large blocks
    // huge pages.
    std::pmr::vector<DayTotals> days_;
    BlockArena<ApplicationSeconds> entries_;
    struct DayPlace {
        std::int32_t length = -1;  // in seconds; -1 until needed
        std::uint32_t room = 0;    // how long its list may grow where it is
    };
    std::vector<DayPlace> places_;  // per day
    std::unordered_map<std::int32_t, std::uint32_t> indexes_;
    std::uint32_t lastIndex_ = kNone;
    // The day of the last record, which the next one most likely shares.
    struct LastDay {
        std::int32_t day = 0;
        std::uint32_t index = kNone;
        std::int64_t length = 0;
    };
    LastDay last_;
    // The day records are being added to, its seconds held by application:
    // an addition needs no search. Its entries are loaded when it opens and
    // written back when it settles, so every sum is made in the log's order.
    struct OpenDay {
        std::uint32_t index = kNone;
        std::uint64_t lastLine = 0;
        std::uint64_t opening = 0;  // counts the openings
        // By application: its seconds (-0.0, which adds as nothing, outside
        // the opening) and the opening that last gave it seconds.
        std::vector<double> seconds;
        std::vector<std::uint64_t> openedAt;
        // Applications new to the day, in order, with room for one more.
        std::vector<std::uint32_t> arrivals{0};
        std::size_t arrived = 0;

        void makeRoomFor(std::uint32_t application);
    };
    OpenDay open_;
};

class DailyTotals::Restoring {
  public:
    explicit Restoring(std::size_t applications) : seenOn_(applications, kNone) {}
    // False if the day breaks the rules of restored().
    [[nodiscard]] bool add(const DayTotals& day);
    DailyTotals finish() && { return std::move(totals_); }

  private:
    DailyTotals totals_;
    std::vector<std::uint32_t> seenOn_;  // by application, the last day it was on
};

}  // namespace tesuko
