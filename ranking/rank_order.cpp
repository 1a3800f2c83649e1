#include "ranking/rank_order.h"

#include <algorithm>
#include <cmath>

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

void sortByTotal(RankList& applications) {
    std::stable_sort(applications.begin(), applications.end(), ranksAbove);
}

}  // namespace tesuko
