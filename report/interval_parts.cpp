// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/interval_parts.h"

#include <algorithm>
#include <unordered_map>

#include "log/line_reader.h"
#include "log/record_fields.h"
#include "ranking/daily_totals.h"
#include "ranking/seconds_text.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

// Where days start, asked of the zone once per day, not once per record.
class DayStarts {
  public:
    explicit DayStarts(const LocalDays& localDays) : localDays_(localDays) {}

    std::int64_t start(std::int32_t day) {
        auto [at, fresh] = starts_.try_emplace(day, 0);
        if (fresh) {
            at->second = localDays_.dayStart(day);
        }
        return at->second;
    }
    std::int64_t length(std::int32_t day) { return start(day + 1) - start(day); }
    std::int64_t intoDay(const WallStart& start) {
        return length(start.day) == 86400 ? start.second
                                          : localDays_.epochSeconds(start) - this->start(start.day);
    }

  private:
    const LocalDays& localDays_;
    std::unordered_map<std::int32_t, std::int64_t> starts_;
};

// The first and the last line that count on the range's days; first past
// last for none.
std::pair<std::uint64_t, std::uint64_t> stretchOf(const ScanState& counted,
                                                  const DateRange& range) {
    std::uint64_t first = UINT64_MAX;
    std::uint64_t last = 0;
    for (const DayTotals& day : counted.days.days()) {
        if (range.contains(day.day) && day.firstLine <= day.lastLine) {
            first = std::min(first, day.firstLine);
            last = std::max(last, day.lastLine);
        }
    }
    return {first, last};
}

}  // namespace

std::uint64_t stretchSize(const ScanState& counted, const DateRange& range) {
    auto [first, last] = stretchOf(counted, range);
    return first > last ? 0 : last - first;
}

std::optional<std::string> readIntervalPartsBetween(
    FileReader& file, std::uint64_t from, std::uint64_t end, const LocalDays& localDays,
    const std::function<void(const IntervalPart&)>& onPart) {
    DayStarts days(localDays);
    WallStartReader starts;
    auto onLine = [&](std::uint64_t offset, std::string_view line) {
        if (offset >= end) {
            return false;
        }
        auto fields = recordFields(line);
        auto start = fields ? starts.read(fields->start) : std::nullopt;
        if (!start) {
            return true;
        }
        IntervalPart part{0, 0, ApplicationTotals::nameAsText(fields->name),
                          utf8::valid(fields->title), 0};
        splitAtMidnights(
            start->day, days.intoDay(*start), secondsFromText(fields->seconds),
            [&](std::int32_t day) { return days.length(day); },
            [&](std::int32_t day, std::int64_t intoDay, double seconds) {
                part.day = day;
                part.intoDay = intoDay;
                part.seconds = seconds;
                part.start = days.start(day) + intoDay;
                onPart(part);
            });
        return true;
    };
    // Lines too long for the ranking are skipped as it skips them.
    return forEachLogLine(file, from, LogScanner::kDefaultChunkSize,
                          LogScanner::kDefaultLongestLine, onLine);
}

std::optional<std::string> readIntervalParts(FileSystem& fileSystem, const ScanState& counted,
                                             const DateRange& range, const LocalDays& localDays,
                                             const std::function<void(const IntervalPart&)>& onPart,
                                             const std::optional<std::string>& onlyApplication) {
    auto [first, last] = stretchOf(counted, range);
    if (first > last) {
        return std::nullopt;
    }
    Opened<FileReader> opened = fileSystem.openForReading(counted.position.path);
    if (!opened.file) {
        return faultText(opened.error);
    }
    if (!opened.file->identity().sameFile(counted.position.file)) {
        return std::string("the file was replaced since it was counted");
    }
    return readIntervalPartsBetween(
        *opened.file, first, last + 1, localDays, [&](const IntervalPart& part) {
            if (range.contains(part.day) &&
                (!onlyApplication || part.application == *onlyApplication)) {
                onPart(part);
            }
        });
}

}  // namespace tesuko
