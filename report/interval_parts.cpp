// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/interval_parts.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "log/record_fields.h"
#include "ranking/daily_totals.h"
#include "ranking/seconds_text.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

// Day lengths asked of the zone once per day, not once per record.
class DayLengths {
  public:
    explicit DayLengths(const LocalDays& localDays) : localDays_(localDays) {}

    std::int64_t length(std::int32_t day) {
        auto [at, fresh] = lengths_.try_emplace(day, 0);
        if (fresh) {
            at->second = localDays_.dayLength(day);
        }
        return at->second;
    }
    std::int64_t intoDay(const WallStart& start) {
        return length(start.day) == 86400
                   ? start.second
                   : localDays_.epochSeconds(start) - localDays_.dayStart(start.day);
    }

  private:
    const LocalDays& localDays_;
    std::unordered_map<std::int32_t, std::int64_t> lengths_;
};

// Complete lines from `from` on, as long as they start at or before `last`;
// lines too long for the ranking are skipped as it skips them.
template <typename OnLine>
std::optional<std::string> forEachLine(FileReader& reader, std::uint64_t from, std::uint64_t last,
                                       OnLine&& onLine) {
    std::vector<char> buffer(LogScanner::kDefaultChunkSize);
    std::size_t carried = 0;
    bool skipping = false;  // inside a line too long to hold
    std::uint64_t lineStart = from;
    for (std::uint64_t offset = from; lineStart <= last;) {
        if (carried == buffer.size()) {
            if (buffer.size() >= LogScanner::kDefaultLongestLine) {
                skipping = true;
                carried = 0;
            } else {
                buffer.resize(buffer.size() * 2);
            }
        }
        auto got = reader.readAt(offset, {buffer.data() + carried, buffer.size() - carried});
        if (!got) {
            return std::string("the file could not be read");
        }
        if (*got == 0) {
            break;
        }
        offset += *got;
        std::string_view bytes(buffer.data(), carried + *got);
        std::size_t start = 0;
        for (std::size_t end; lineStart <= last && (end = bytes.find('\n', start)) != bytes.npos;
             start = end + 1) {
            if (!skipping) {
                onLine(bytes.substr(start, end - start));
            }
            skipping = false;
            lineStart = offset - bytes.size() + end + 1;
        }
        carried = bytes.size() - start;
        std::memmove(buffer.data(), bytes.data() + start, carried);
    }
    return std::nullopt;
}

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
        return opened.error;
    }
    if (!opened.file->identity().sameFile(counted.position.file)) {
        return std::string("the file was replaced since it was counted");
    }
    DayLengths lengths(localDays);
    WallStartReader starts;
    return forEachLine(*opened.file, first, last, [&](std::string_view line) {
        auto fields = recordFields(line);
        auto start = fields ? starts.read(fields->start) : std::nullopt;
        if (!start) {
            return;
        }
        std::string application = ApplicationTotals::nameAsText(fields->name);
        if (onlyApplication && application != *onlyApplication) {
            return;
        }
        std::string title = utf8::valid(fields->title);
        splitAtMidnights(
            start->day, lengths.intoDay(*start), secondsFromText(fields->seconds),
            [&](std::int32_t day) { return lengths.length(day); },
            [&](std::int32_t day, std::int64_t intoDay, double seconds) {
                if (range.contains(day)) {
                    onPart({day, intoDay, application, title, seconds});
                }
            });
    });
}

}  // namespace tesuko
