// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ranking/rank_list.h"

namespace tesuko::bench {

// The ranking done the slow, literal way, as the baseline the scanner is
// measured against: the whole file read into memory and split into a table
// of row strings, names found by linear search, an exchange sort. It stops at
// the first row of fewer than six fields.
RankList literalRanking(const std::string& path);

}  // namespace tesuko::bench
