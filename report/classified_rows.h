// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "categories/classifier.h"
#include "report/interval_parts.h"
#include "report/report_rows.h"

namespace tesuko {

// The rows of the intervals as the rules see them: each application by the
// name its alias gives, each row within one category; by category, the tree
// of categories with sums that roll up. Only the intervals in `within` (a
// category path, its children included) when one is given. In the order
// sortRows gives; the tree in its own order.
std::vector<ReportRow> classifiedRows(std::span<const IntervalPart> parts, Classifier& classifier,
                                      Grouping grouping, const std::optional<std::string>& within);

// "Uncategorized" for time in no category.
std::string categoryName(const std::optional<std::string>& category);

}  // namespace tesuko
