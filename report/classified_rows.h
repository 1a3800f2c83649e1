// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "report/date_range.h"
#include "report/interval_parts.h"
#include "report/report_rows.h"
#include "report/title_days_cache.h"

namespace tesuko {

// The rows of the logs' windows on the range's days as the rules see them
// (each log's classes hold a classification per pair): each application by
// the name its alias gives, each row within one category; by category, the
// tree of categories with sums that roll up. Only the time in `within` (a
// category path, its children included) when one is given. In the order
// sortRows gives; the tree in its own order.
std::vector<ReportRow> classifiedRows(std::span<const ClassifiedTitles> logs,
                                      const DateRange& range, Grouping grouping,
                                      const std::optional<std::string>& within);

// The parts' windows, each classified: for intervals read apart from a cache.
ClassifiedTitles classifiedParts(std::span<const IntervalPart> parts, Classifier& classifier);

// "Uncategorized" for time in no category.
std::string categoryName(const std::optional<std::string>& category);

}  // namespace tesuko
