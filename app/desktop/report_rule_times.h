// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <span>

#include "categories/rule_file.h"
#include "report/interval_parts.h"

namespace tesuko {

// The seconds of the parts that each category rule decides, by its line: the
// first rule that matches a window takes its time, as when the rules apply,
// so a rule behind one that catches the same windows gets none of theirs.
std::map<int, double> secondsPerRule(const RuleFile& file, std::span<const IntervalPart> parts);

}  // namespace tesuko
