// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ranking/rank_list.h"

namespace tesuko {

// Orders applications by total, largest first; equal totals keep their order.
// Totals that overflowed still sort deterministically: +inf above every
// number, -inf below every number, and NaN (an overflow to +inf and one to
// -inf in the same total) below everything, NaNs among themselves in the
// order they came.
void sortByTotal(RankList& applications);

}  // namespace tesuko
