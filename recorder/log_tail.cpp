// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/log_tail.h"

#include <charconv>
#include <optional>

#include "recorder/switch_record.h"

namespace tesuko {

namespace {

using namespace std::chrono;

// One line of the log, without its line end.
struct Line {
    std::size_t offset = 0;
    std::string_view text;
};

// The line that ends just before `stop` (at a line feed or the end of the
// log): only the log's tail is ever looked at.
Line lineBefore(std::string_view log, std::size_t stop) {
    const std::size_t end = log[stop - 1] == '\n' ? stop - 1 : stop;
    const std::size_t feed = end == 0 ? std::string_view::npos : log.rfind('\n', end - 1);
    const std::size_t begin = feed == std::string_view::npos ? 0 : feed + 1;
    std::string_view text = log.substr(begin, end - begin);
    if (text.ends_with('\r')) {
        text.remove_suffix(1);
    }
    return {begin, text};
}

struct Record {
    LocalTime start;
    double seconds = 0;
    std::size_t secondsAt = 0;  // where the seconds field begins in the line
};

std::optional<Record> recordOf(std::string_view line) {
    const std::size_t firstComma = line.find(',');
    const std::size_t lastComma = line.rfind(',');
    if (firstComma == std::string_view::npos || lastComma == firstComma) {
        return std::nullopt;
    }
    std::optional<LocalTime> start = parseStartTime(line.substr(0, firstComma));
    if (!start) {
        return std::nullopt;
    }
    Record record{*start, 0, lastComma + 1};
    const char* end = line.data() + line.size();
    auto [stop, error] = std::from_chars(line.data() + record.secondsAt, end, record.seconds);
    if (error != std::errc{} || stop != end) {
        record.seconds = 0;  // unreadable: shortened to nothing, left as it is
    }
    return record;
}

}  // namespace

std::string logBefore(std::string_view log, sys_seconds cut,
                      const std::function<sys_seconds(const LocalTime&)>& wallTime) {
    std::size_t keptBytes = log.size();
    std::optional<std::pair<Line, Record>> lastKept;
    for (std::size_t stop = log.size(); stop > 0 && !lastKept;) {
        const Line line = lineBefore(log, stop);
        stop = line.offset;
        std::optional<Record> record = recordOf(line.text);
        if (!record) {
            continue;
        }
        if (wallTime(record->start) >= cut) {
            keptBytes = line.offset;
        } else {
            lastKept.emplace(line, *record);
        }
    }
    std::string kept(log.substr(0, keptBytes));
    if (lastKept) {
        const auto& [line, record] = *lastKept;
        const double before = duration<double>(cut - wallTime(record.start)).count();
        if (record.seconds > before) {
            std::string seconds;
            appendSeconds(seconds, before);
            const std::size_t at = line.offset + record.secondsAt;
            kept.replace(at, line.text.size() - record.secondsAt, seconds);
        }
    }
    return kept;
}

}  // namespace tesuko
