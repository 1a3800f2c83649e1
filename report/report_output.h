// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ranking/local_days.h"
#include "report/classified_rows.h"
#include "report/date_range.h"
#include "report/interval_parts.h"
#include "report/report_rows.h"

namespace tesuko {

// What a report shows: rows of one grouping over a range, and the range's
// total (the whole of it, whatever rows were left out).
struct ReportView {
    Grouping grouping = Grouping::application;
    DateRange range;
    std::vector<ReportRow> rows;
    double total = 0;
    std::vector<DaySeconds> days;         // by day: each day's whole, for its rows' shares
    std::vector<IntervalPart> intervals;  // in time order, for a format that lists them
    std::string host;                     // the machine the logs come from
    bool categorised = false;             // rules apply: each row names its category
};

// "12:34": hours and minutes, to the nearest minute.
std::string hoursAndMinutes(double seconds);
// "45.6 %" of the total.
std::string shareText(double seconds, double total);
// "2026-12-01T00:00:00+01:00": the local time and offset of an instant.
std::string isoLocalTime(std::int64_t epochSeconds, const LocalDays& localDays);

// "from 2026-12-01 to 2026-12-08 (exclusive)", a header row, then "h:mm
// share name" rows (apportioned, so that they add up) and the total, with
// control characters in names as U+FFFD: a table piped to a pager or a file
// still reaches a terminal. By day, shares are of each day.
void writeTable(const ReportView& view, std::ostream& out);
// RFC 4180, CRLF line ends: from,to[,day],application[,title],seconds, where
// from and to (exclusive) bound the row's stretch of time (its day, or the range).
void writeCsv(const ReportView& view, const LocalDays& localDays, std::ostream& out);
// {"from", "to" (exclusive), "rows": [{"application", "seconds"[, "day"][, "title"]}]}.
void writeJson(const ReportView& view, const LocalDays& localDays, std::ostream& out);
// The rows alone, as an array: what scripts read before the range came along.
void writeJsonArray(const ReportView& view, std::ostream& out);
// An ActivityWatch bucket export: a "currentwindow" bucket "tesuko_<host>"
// with an event for each interval.
void writeActivityWatch(const ReportView& view, const LocalDays& localDays, std::ostream& out);

// A way to write a report: its name in --format and its writer. A new format
// is a row in reportFormats() and its writer.
struct ReportFormat {
    std::string_view name;
    void (*write)(const ReportView& view, const LocalDays& localDays, std::ostream& out);
    bool listsIntervals = false;  // needs the view's intervals
};

// The formats, the table (the default) first.
std::span<const ReportFormat> reportFormats();
// The format of that name; none for another name.
const ReportFormat* reportFormatNamed(std::string_view name);

}  // namespace tesuko
