// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/log_tail.h"

#include <charconv>

#include "log/record_fields.h"
#include "log/switch_record.h"

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
    steady_clock::time_point start;
    double seconds = 0;
    std::string_view secondsField;  // in the line
};

std::optional<double> secondsIn(std::string_view field) {
    double seconds = 0;
    const char* end = field.data() + field.size();
    auto [stop, error] = std::from_chars(field.data(), end, seconds);
    return error == std::errc{} && stop == end ? std::optional(seconds) : std::nullopt;
}

std::optional<Record> recordOf(const Line& line, const RecordStart& startOf) {
    const std::optional<RecordFields> fields = recordFields(line.text);
    const std::optional<steady_clock::time_point> start =
        fields ? startOf(line.offset, fields->start) : std::nullopt;
    if (!start) {
        return std::nullopt;
    }
    // Unreadable seconds: shortened to nothing, left as they are.
    return Record{*start, secondsIn(fields->seconds).value_or(0), fields->seconds};
}

}  // namespace

std::optional<double> recordSeconds(std::string_view line) {
    const std::optional<RecordFields> fields = recordFields(line);
    return fields ? secondsIn(fields->seconds) : std::nullopt;
}

LogBefore logBefore(std::string_view log, steady_clock::time_point cut,
                    const RecordStart& startOf) {
    std::size_t keptBytes = log.size();
    std::optional<std::pair<Line, Record>> lastKept;
    for (std::size_t stop = log.size(); stop > 0 && !lastKept;) {
        const Line line = lineBefore(log, stop);
        stop = line.offset;
        std::optional<Record> record = recordOf(line, startOf);
        if (!record) {
            continue;
        }
        if (record->start >= cut) {
            keptBytes = line.offset;
        } else {
            lastKept.emplace(line, *record);
        }
    }
    LogBefore result{std::string(log.substr(0, keptBytes)), keptBytes};
    if (lastKept) {
        const auto& [line, record] = *lastKept;
        const double before = duration<double>(cut - record.start).count();
        if (record.seconds > before) {
            std::string seconds;
            appendSeconds(seconds, before);
            const std::size_t at =
                line.offset + std::size_t(record.secondsField.data() - line.text.data());
            result.kept.replace(at, record.secondsField.size(), seconds);
            result.unchanged = line.offset;
        }
    }
    return result;
}

}  // namespace tesuko
