// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/local_days.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace tesuko {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// The C library's local time: the one the recorder writes its start times
// in, so that every form of TZ it takes (a zone's name, a file, or a rule
// such as "CET-1CEST,M3.5.0,M10.5.0/3") is read as it was written.
std::optional<std::tm> localAt(std::int64_t epochSeconds) {
    const std::time_t at = std::time_t(epochSeconds);
    const std::tm* local = std::localtime(&at);
    return local ? std::optional(*local) : std::nullopt;
}

// A broken-down time as seconds since the epoch were it universal time.
std::int64_t asIfUniversal(const std::tm& local) {
    return std::int64_t(dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)) *
               kSecondsPerDay +
           local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
}

}  // namespace

LocalDays::LocalDays() {
    const char* tz = std::getenv("TZ");
    zone_ = describe(tz ? std::string("TZ=") + tz : "localtime");
}

std::optional<LocalDays> LocalDays::inZone(const std::string& ianaName) {
    std::shared_ptr<const icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(ianaName)));
    if (!zone || *zone == icu::TimeZone::getUnknown()) {
        return std::nullopt;
    }
    LocalDays days;
    days.named_ = std::move(zone);
    days.zone_ = days.describe("zone=" + ianaName);
    return days;
}

// How far local time is ahead of universal time at an instant.
std::int64_t LocalDays::offsetAt(std::int64_t epochSeconds) const {
    if (named_) {
        std::int32_t raw = 0;
        std::int32_t daylight = 0;
        UErrorCode status = U_ZERO_ERROR;
        named_->getOffset(double(epochSeconds) * 1000, false, raw, daylight, status);
        return U_SUCCESS(status) ? (std::int64_t(raw) + daylight) / 1000 : 0;
    }
    const std::optional<std::tm> local = localAt(epochSeconds);
    return local ? asIfUniversal(*local) - epochSeconds : 0;
}

// What the zone does, in a few words: its offsets on two days half a year
// apart, and the C library's abbreviations. A cache split in another zone
// must not be reused.
std::string LocalDays::describe(std::string described) const {
    for (std::int64_t day : {dayNumber(2025, 1, 15), dayNumber(2025, 7, 15)}) {
        const std::int64_t at = day * kSecondsPerDay;
        std::array<char, 64> text{};
        const std::optional<std::tm> local = named_ ? std::nullopt : localAt(at);
        if (named_) {
            described += " " + std::to_string(offsetAt(at));
        } else if (local && std::strftime(text.data(), text.size(), " %z %Z", &*local) > 0) {
            described += text.data();
        }
    }
    return described;
}

// A wall-clock time may name two instants (the clocks went back) or none
// (they went forward). The offsets a day either side tell which: the first of
// the instants whose local time it is, or when there is none, the one it
// would have been by the offset before the change.
std::int64_t LocalDays::epochSeconds(const WallStart& wall) const {
    const std::int64_t local = std::int64_t(wall.day) * kSecondsPerDay + wall.second;
    const std::int64_t before = local - offsetAt(local - kSecondsPerDay);
    const std::int64_t after = local - offsetAt(local + kSecondsPerDay);
    if (before == after) {
        return before;  // no change of the clocks near: the usual case
    }
    for (std::int64_t candidate : {std::min(before, after), std::max(before, after)}) {
        if (candidate + offsetAt(candidate) == local) {
            return candidate;
        }
    }
    return before;
}

LocalDays::Moment LocalDays::at(std::int64_t epochSeconds) const {
    const std::int64_t offset = offsetAt(epochSeconds);
    const std::int64_t local = epochSeconds + offset;
    const std::int64_t day = floorDiv(local, kSecondsPerDay);
    return {{std::int32_t(day), std::int32_t(local - day * kSecondsPerDay)}, std::int32_t(offset)};
}

}  // namespace tesuko
