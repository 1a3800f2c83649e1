// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace tesuko {

// One application's total: what the ranking rows show.
struct RankedApplication {
    std::string name;  // valid UTF-8
    double seconds = 0;

    bool operator==(const RankedApplication&) const = default;
};

// Applications by total seconds, largest first; equal totals in order of first
// appearance in the log.
using RankList = std::vector<RankedApplication>;

}  // namespace tesuko
