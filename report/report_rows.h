// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ranking/log_scanner.h"
#include "report/date_range.h"

namespace tesuko {

// By machine, a row's application is the machine's name.
enum class Grouping { application, day, title, category, machine };

// One line of a report: an application's seconds in the range, on one day of
// it (by day) or under one window title (by title); with rules, in one
// category. By category, a category's seconds, its children's included.
struct ReportRow {
    std::string application;
    std::int32_t day = 0;  // by day
    std::string title;     // by title
    double seconds = 0;
    std::optional<std::string> category{};  // nullopt: in none
    int depth = 0;                          // by category: 0 at the top

    bool operator==(const ReportRow&) const = default;
};

// Every day any of the logs counted: from the earliest to the latest.
DateRange allDays(std::span<const ScanState* const> logs);

// Seconds per application in the range, summed over the logs (an application
// is its name, whichever log it comes from): largest first, equal totals by name.
std::vector<ReportRow> rowsByApplication(std::span<const ScanState* const> logs,
                                         const DateRange& range);
// The same per day: days in order, each largest first.
std::vector<ReportRow> rowsByDay(std::span<const ScanState* const> logs, const DateRange& range);

// Seconds on each day of the range, and the application's among them.
struct DaySeconds {
    std::int32_t day = 0;
    double seconds = 0;
    double application = 0;
};
std::vector<DaySeconds> secondsPerDay(std::span<const ScanState* const> logs,
                                      const DateRange& range,
                                      const std::optional<std::string>& application);

// The same from rows by day.
std::vector<DaySeconds> secondsPerDay(const std::vector<ReportRow>& rows, const DateRange& range);

// Largest first, ties by application, day, title and category: a stable order to print.
void sortRows(std::vector<ReportRow>& rows);
// Keeps the `top` largest rows of each day (by day), or of the whole range;
// by category, the `top` largest at the top level, with what is below them.
void keepTop(std::vector<ReportRow>& rows, Grouping grouping, std::size_t top);

double totalSeconds(const std::vector<ReportRow>& rows);

}  // namespace tesuko
