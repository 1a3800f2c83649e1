// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ranking/rank_list.h"

namespace tesuko {

// Titles of the ranking rows for the first `rows` applications:
// "<rank> : <name>    <filler><total>", the filler padding the name's
// Shift-JIS width to 40, the total in the locale's decimal style with no
// fraction digits. `locale` is an ICU locale id; empty means the default locale.
std::vector<std::string> rankRowTitles(const RankList& ranks, std::size_t rows,
                                       const std::string& locale = {});

}  // namespace tesuko
