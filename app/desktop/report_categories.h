// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "categories/classifier.h"
#include "report/date_range.h"
#include "report/interval_parts.h"
#include "report/report_rows.h"

namespace tesuko {

// A category picked in the Categories view, those below it included; no
// path picks the time in no category.
struct CategoryPick {
    std::optional<std::string> path;

    bool holds(const std::optional<std::string>& category) const;
};

// "Work" of "Work/Mail"; none of none.
std::optional<std::string> topLevelOf(const std::optional<std::string>& category);

// Seconds per application, by the names the rules show, of the time in the
// pick (all of it without one): largest first.
std::vector<ReportRow> shownApplicationRows(std::span<const IntervalPart> parts,
                                            Classifier& classifier,
                                            const std::optional<CategoryPick>& pick);

// The parts of the application (by its shown name) in the pick, in the order given.
std::vector<IntervalPart> shownApplicationParts(std::span<const IntervalPart> parts,
                                                Classifier& classifier,
                                                const std::optional<CategoryPick>& pick,
                                                const std::string& application);

// Each day of the range: its seconds and the application's (by its shown name).
std::vector<DaySeconds> shownSecondsPerDay(std::span<const IntervalPart> parts,
                                           Classifier& classifier, const DateRange& range,
                                           const std::optional<std::string>& application);

// Each day of the range: its seconds in each of the top-level categories
// given, in their order.
std::vector<std::vector<double>> secondsPerDayAndCategory(
    std::span<const IntervalPart> parts, Classifier& classifier, const DateRange& range,
    const std::vector<std::optional<std::string>>& topLevel);

}  // namespace tesuko
