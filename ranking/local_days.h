// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unicode/uversion.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ranking/wall_start.h"

U_NAMESPACE_BEGIN
class BasicTimeZone;
U_NAMESPACE_END

namespace tesuko {

// Local calendar days in one time zone, as the log's start times mean them.
// A start time carries no offset: a wall-clock time that occurs twice (when
// the clocks go back) is taken as its first occurrence, and one that does not
// occur (when they go forward) as if the clocks had not changed yet.
class LocalDays {
  public:
    // An ICU zone id; empty for the host's zone ($TZ, else /etc/localtime).
    explicit LocalDays(const std::string& zone = {});
    LocalDays(const LocalDays& other);
    LocalDays& operator=(const LocalDays& other);
    LocalDays(LocalDays&&) noexcept;
    LocalDays& operator=(LocalDays&&) noexcept;
    ~LocalDays();

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
    std::int32_t offsetOfWallTime(double localMilliseconds) const;

    std::unique_ptr<U_ICU_NAMESPACE::BasicTimeZone> tz_;
    std::string zone_;
};

}  // namespace tesuko
