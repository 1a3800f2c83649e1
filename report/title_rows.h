// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "ranking/local_days.h"
#include "report/report_rows.h"

namespace tesuko {

// Seconds per application and window title in the range, read again from
// the logs' stretches for those days, each log's days in its own zone;
// largest first. Why a log could not be read, if one could not.
std::optional<std::string> rowsByTitle(FileSystem& fileSystem,
                                       std::span<const ScanState* const> logs,
                                       const DateRange& range, std::span<const LocalDays> localDays,
                                       std::vector<ReportRow>& rows);

}  // namespace tesuko
