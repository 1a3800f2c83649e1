// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "ranking/local_days.h"
#include "ranking/log_scanner.h"
#include "report/date_range.h"

namespace tesuko {

// The part of one record's interval that falls on one day of a range.
struct IntervalPart {
    std::int32_t day = 0;
    std::int64_t intoDay = 0;  // real seconds after the day began
    std::string application;   // as the ranking names it
    std::string title;         // valid UTF-8
    double seconds = 0;
    std::int64_t start = 0;  // its first second as a Unix time: days are its log's zone's
};

// Bytes of the log whose lines count on the range's days: what
// readIntervalParts reads.
std::uint64_t stretchSize(const ScanState& counted, const DateRange& range);

// Calls onPart for each day's part of the intervals of the lines that begin
// from `from` (where a line begins) up to `end`, split at midnight as the day
// table is. Returns why the file could not be read, if it could not.
std::optional<std::string> readIntervalPartsBetween(
    FileReader& file, std::uint64_t from, std::uint64_t end, const LocalDays& localDays,
    const std::function<void(const IntervalPart&)>& onPart);

// Reads again the stretch of the log whose lines count on the range's days
// (the day table knows where it is) and calls onPart for each part of their
// intervals within the range, split at midnight as the day table is. Only the
// application's parts when one is given. Lines the ranking skips are skipped
// (the scan that counted them said so already). Returns why the log could not
// be read, if it could not.
std::optional<std::string> readIntervalParts(
    FileSystem& fileSystem, const ScanState& counted, const DateRange& range,
    const LocalDays& localDays, const std::function<void(const IntervalPart&)>& onPart,
    const std::optional<std::string>& onlyApplication = std::nullopt);

}  // namespace tesuko
