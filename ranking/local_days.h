// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unicode/uversion.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "log/civil_day.h"
#include "log/wall_start.h"

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

namespace tesuko {

// Local calendar days in the local time zone, as the C library keeps it ($TZ
// in any form it takes, else /etc/localtime): the zone the recorder writes
// its start times in. A start time carries no offset: a wall-clock time that
// occurs twice (when the clocks go back) is taken as its first occurrence,
// and one that does not occur (when they go forward) as if the clocks had not
// changed yet. Every reader of the log turns its start times into instants
// here, so that all of them mean the same moment.
// Another machine's log is read in that machine's zone, named as in the
// IANA database.
class LocalDays {
  public:
    LocalDays();
    // nullopt when the zone is unknown here.
    static std::optional<LocalDays> inZone(const std::string& ianaName);

    const std::string& zone() const { return zone_; }

    // Seconds since the epoch of a wall-clock time; the day begins at its
    // first moment (midnight, or the end of a gap that swallowed midnight).
    std::int64_t epochSeconds(const WallStart& wall) const;
    std::int64_t dayStart(std::int32_t day) const { return epochSeconds({day, 0}); }
    // Real seconds in the day: 86400 but on the days the clocks change.
    std::int64_t dayLength(std::int32_t day) const { return dayStart(day + 1) - dayStart(day); }

    // The wall clock and its offset from UTC (seconds) at an instant.
    struct Moment {
        WallStart wall;
        std::int32_t offset = 0;
    };
    Moment at(std::int64_t epochSeconds) const;

  private:
    std::int64_t offsetAt(std::int64_t epochSeconds) const;
    std::string describe(std::string described) const;

    std::shared_ptr<const icu::TimeZone> named_;  // null: the C library's local time
    std::string zone_;
};

}  // namespace tesuko
