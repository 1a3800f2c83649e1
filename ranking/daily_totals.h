// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "ranking/local_days.h"
#include "ranking/wall_start.h"

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
    std::vector<ApplicationSeconds> applications;  // in order of first appearance that day

    bool operator==(const DayTotals&) const = default;
};

// Seconds per application per local day, intervals split at midnight: what a
// report of any range of days is summed from, without reading the log again.
class DailyTotals {
  public:
    // Days saved earlier; nullopt unless each day appears once, each
    // application once a day, and every application is below `applications`.
    static std::optional<DailyTotals> restored(std::vector<DayTotals> days,
                                               std::size_t applications);

    // Adds a record's seconds to the days its interval covers; `line` is the
    // offset of its line in the log.
    void add(const WallStart& start, std::uint32_t application, double seconds, std::uint64_t line,
             const LocalDays& localDays) {
        if (start.day != last_.day || last_.index == UINT32_MAX) {
            std::uint32_t index = indexOf(start.day);
            last_ = {start.day, index, lengthOf(index, localDays)};
        }
        // A day the clocks change on is the only one where wall-clock seconds
        // are not real seconds since midnight.
        std::int64_t intoDay = last_.length == 86400
                                   ? start.second
                                   : localDays.epochSeconds(start) - localDays.dayStart(start.day);
        if (!(seconds > double(last_.length - intoDay))) {
            addTo(days_[last_.index], last_.index, application, seconds, line);
            return;
        }
        addAcrossMidnight(start.day, intoDay, application, seconds, line, localDays);
    }

    // In order of first appearance.
    const std::vector<DayTotals>& days() const { return days_; }
    const DayTotals* find(std::int32_t day) const;

    bool operator==(const DailyTotals& other) const { return days_ == other.days_; }

  private:
    std::uint32_t indexOf(std::int32_t day) {
        if (lastIndex_ < days_.size() && days_[lastIndex_].day == day) {
            return lastIndex_;
        }
        return lastIndex_ = lookUp(day);
    }
    std::uint32_t lookUp(std::int32_t day);
    std::int64_t lengthOf(std::uint32_t index, const LocalDays& localDays) {
        if (books_[index].length < 0) {
            books_[index].length = std::int32_t(localDays.dayLength(days_[index].day));
        }
        return books_[index].length;
    }
    void addTo(DayTotals& day, std::uint32_t index, std::uint32_t application, double seconds,
               std::uint64_t line) {
        if (index != addingTo_) {
            enter(index);
        }
        // Lines come in the order of the log, whose bytes before the scan's
        // position never change.
        day.lastLine = line;
        if (line < day.firstLine) {
            day.firstLine = line;
        }
        if (application < cursors_.size() && cursors_[application].day == index) {
            day.applications[cursors_[application].position].seconds += seconds;
            return;
        }
        addFirstOfDay(index, application, seconds);
    }
    void enter(std::uint32_t index);
    void addFirstOfDay(std::uint32_t index, std::uint32_t application, double seconds);
    void addAcrossMidnight(std::int32_t day, std::int64_t intoDay, std::uint32_t application,
                           double seconds, std::uint64_t line, const LocalDays& localDays);

    std::vector<DayTotals> days_;
    struct DayBook {
        std::int32_t length = -1;  // in seconds; -1 until needed
        // It took records, then others did, then it again: an application
        // whose cursor points elsewhere may be on it already.
        bool reentered = false;
    };
    std::vector<DayBook> books_;           // per day
    std::uint32_t addingTo_ = UINT32_MAX;  // the day the last seconds went to
    std::unordered_map<std::int32_t, std::uint32_t> indexes_;
    std::uint32_t lastIndex_ = UINT32_MAX;
    // The day of the last record, which the next one most likely shares.
    struct LastDay {
        std::int32_t day = 0;
        std::uint32_t index = UINT32_MAX;
        std::int64_t length = 0;
    };
    LastDay last_;
    // Per application, where it was added to last: records of one
    // application on one day then need no search.
    struct Cursor {
        std::uint32_t day = UINT32_MAX;
        std::uint32_t position = 0;
    };
    std::vector<Cursor> cursors_;
};

}  // namespace tesuko
