// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/title_rows.h"

#include <map>

#include "report/interval_parts.h"

namespace tesuko {

std::optional<std::string> rowsByTitle(FileSystem& fileSystem,
                                       std::span<const ScanState* const> logs,
                                       const DateRange& range, const LocalDays& localDays,
                                       std::vector<ReportRow>& rows) {
    std::map<std::pair<std::string, std::string>, double> sums;
    for (const ScanState* log : logs) {
        auto error =
            readIntervalParts(fileSystem, *log, range, localDays, [&](const IntervalPart& part) {
                sums[{part.application, part.title}] += part.seconds;
            });
        if (error) {
            return log->position.path + ": " + *error;
        }
    }
    rows.clear();
    for (auto& [key, seconds] : sums) {
        rows.push_back({key.first, 0, key.second, seconds});
    }
    sortRows(rows);
    return std::nullopt;
}

}  // namespace tesuko
