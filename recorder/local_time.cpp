// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/local_time.h"

#include <algorithm>
#include <optional>

namespace tesuko {

namespace {

using namespace std::chrono;

sys_seconds asIfUniversal(const LocalTime& local) {
    return sys_days{year{local.year} / local.month / local.day} + hours{local.hour} +
           minutes{local.minute} + seconds{local.second};
}

bool same(const LocalTime& a, const LocalTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

// How far local time is ahead of universal time at that moment.
seconds offsetAt(Clock& clock, sys_seconds at) {
    return asIfUniversal(clock.localTime(at)) - at;
}

}  // namespace

sys_seconds wallTimeOf(Clock& clock, const LocalTime& local, sys_seconds near) {
    const sys_seconds universal = asIfUniversal(local);
    const sys_seconds first = universal - offsetAt(clock, near);
    const sys_seconds second = universal - offsetAt(clock, first);
    std::optional<sys_seconds> found;
    for (sys_seconds candidate : {first, second}) {
        if (same(clock.localTime(candidate), local)) {
            found = std::max(found.value_or(candidate), candidate);
        }
    }
    return found.value_or(std::max(first, second));
}

sys_seconds nextLocalMidnight(Clock& clock, system_clock::time_point now) {
    const LocalTime today = clock.localTime(now);
    const year_month_day tomorrow{sys_days{year{today.year} / today.month / today.day} + days{1}};
    const LocalTime midnight{int(tomorrow.year()), int(unsigned(tomorrow.month())),
                             int(unsigned(tomorrow.day()))};
    return wallTimeOf(clock, midnight, floor<seconds>(now));
}

}  // namespace tesuko
