// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tesuko {

// The log without what it holds from `cut` on. Walking back from its end:
// each record that starts at or after the cut goes, with every line after
// it; the first record that starts before the cut stays, its seconds
// shortened when it runs past the cut, and so does everything before it.
// Every other byte stays as it was. Lines that are no record are judged by
// where they stand. `wallTime` gives the moment a start field names.
std::string logBefore(std::string_view log, std::chrono::sys_seconds cut,
                      const std::function<std::chrono::sys_seconds(const LocalTime&)>& wallTime);

}  // namespace tesuko
