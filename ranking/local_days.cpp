// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/local_days.h"

#include <unicode/basictz.h>
#include <unicode/timezone.h>

#include <cmath>

namespace tesuko {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// ICU knows every zone as a BasicTimeZone; a custom one ("GMT+03:00") is a
// SimpleTimeZone, which is one too.
std::unique_ptr<icu::BasicTimeZone> basic(icu::TimeZone* zone) {
    std::unique_ptr<icu::TimeZone> owned(zone);
    if (auto* cast = dynamic_cast<icu::BasicTimeZone*>(owned.get())) {
        owned.release();
        return std::unique_ptr<icu::BasicTimeZone>(cast);
    }
    return std::unique_ptr<icu::BasicTimeZone>(
        static_cast<icu::BasicTimeZone*>(icu::TimeZone::getGMT()->clone()));
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

LocalDays::LocalDays(const std::string& zone)
    : tz_(basic(zone.empty() ? icu::TimeZone::detectHostTimeZone()
                             : icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)))) {
    icu::UnicodeString id;
    tz_->getID(id);
    id.toUTF8String(zone_);
}

LocalDays::LocalDays(const LocalDays& other) : tz_(other.tz_->clone()), zone_(other.zone_) {}

LocalDays& LocalDays::operator=(const LocalDays& other) {
    if (this != &other) {
        tz_.reset(other.tz_->clone());
        zone_ = other.zone_;
    }
    return *this;
}

LocalDays::LocalDays(LocalDays&&) noexcept = default;
LocalDays& LocalDays::operator=(LocalDays&&) noexcept = default;
LocalDays::~LocalDays() = default;

std::int32_t LocalDays::offsetOfWallTime(double localMilliseconds) const {
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t raw = 0;
    std::int32_t dst = 0;
    tz_->getOffsetFromLocal(localMilliseconds, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER, raw, dst,
                            status);
    return U_SUCCESS(status) ? (raw + dst) / 1000 : 0;
}

std::int64_t LocalDays::epochSeconds(const WallStart& wall) const {
    std::int64_t local = std::int64_t(wall.day) * kSecondsPerDay + wall.second;
    return local - offsetOfWallTime(double(local) * 1000.0);
}

LocalDays::Moment LocalDays::at(std::int64_t epochSeconds) const {
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t raw = 0;
    std::int32_t dst = 0;
    tz_->getOffset(double(epochSeconds) * 1000.0, false, raw, dst, status);
    std::int32_t offset = U_SUCCESS(status) ? (raw + dst) / 1000 : 0;
    std::int64_t local = epochSeconds + offset;
    std::int64_t day = floorDiv(local, kSecondsPerDay);
    return {{std::int32_t(day), std::int32_t(local - day * kSecondsPerDay)}, offset};
}

}  // namespace tesuko
