// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/rank_order.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace tesuko {

namespace {

// A strict weak order even with NaN, which plain ">" is not.
bool ranksAbove(const RankedApplication& a, const RankedApplication& b) {
    if (std::isnan(a.seconds) || std::isnan(b.seconds)) {
        return !std::isnan(a.seconds) && std::isnan(b.seconds);
    }
    return a.seconds > b.seconds;
}

}  // namespace

// Sorts positions, with the position itself deciding ties, then moves each
// entry once.
void sortByTotal(RankList& applications) {
    std::vector<std::size_t> order(applications.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (ranksAbove(applications[a], applications[b])) {
            return true;
        }
        return !ranksAbove(applications[b], applications[a]) && a < b;
    });
    RankList sorted;
    sorted.reserve(applications.size());
    for (std::size_t position : order) {
        sorted.push_back(std::move(applications[position]));
    }
    applications = std::move(sorted);
}

}  // namespace tesuko
