// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/title_rows.h"

#include <map>

#include "report/interval_parts.h"

namespace tesuko {

std::optional<std::string> rowsByTitle(FileSystem& fileSystem,
                                       std::span<const ScanState* const> logs,
                                       const DateRange& range, std::span<const LocalDays> localDays,
                                       std::vector<ReportRow>& rows) {
    std::map<std::pair<std::string, std::string>, double> sums;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        auto error = readIntervalParts(fileSystem, *logs[i], range, localDays[i],
                                       [&](const IntervalPart& part) {
                                           sums[{part.application, part.title}] += part.seconds;
                                       });
        if (error) {
            return logs[i]->position.path + ": " + *error;
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
