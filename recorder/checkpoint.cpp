// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/checkpoint.h"

#include <charconv>
#include <cstdint>
#include <tuple>

#include "log/record_fields.h"
#include "log/switch_record.h"

namespace tesuko {

namespace {

constexpr std::string_view kFormat = "tesuko-checkpoint-2\n";
constexpr std::string_view kFirstFormat = "tesuko-checkpoint-1\n";

// The start and application fields, with the comma after them; empty for a
// line that is no record.
std::string_view intervalKey(std::string_view line) {
    const std::optional<RecordFields> fields = recordFields(line);
    return fields ? line.substr(0, std::size_t(fields->title.data() - line.data()))
                  : std::string_view{};
}

// The decimal number at the front of `bytes` and the `end` after it, taken off.
std::optional<std::uint64_t> takeNumber(std::string_view& bytes, char end) {
    std::uint64_t number = 0;
    auto [stop, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), number);
    if (error != std::errc{} || stop == bytes.data() + bytes.size() || *stop != end) {
        return std::nullopt;
    }
    bytes.remove_prefix(std::size_t(stop - bytes.data()) + 1);
    return number;
}

std::optional<LocalTime> startOf(std::string_view line) {
    const std::optional<RecordFields> fields = recordFields(line);
    return fields ? parseStartTime(fields->start) : std::nullopt;
}

}  // namespace

// The path goes after its length, since a path may hold any byte.
std::string encodeCheckpoint(const Checkpoint& checkpoint) {
    const FileIdentity log = checkpoint.logFile.value_or(FileIdentity{});
    return std::string(kFormat) + std::to_string(log.device) + " " + std::to_string(log.inode) +
           "\n" + std::to_string(checkpoint.logPath.size()) + "\n" + checkpoint.logPath +
           checkpoint.record;
}

std::optional<Checkpoint> decodeCheckpoint(std::string_view bytes) {
    Checkpoint checkpoint;
    if (bytes.starts_with(kFormat)) {
        bytes.remove_prefix(kFormat.size());
        std::optional<std::uint64_t> device = takeNumber(bytes, ' ');
        std::optional<std::uint64_t> inode = device ? takeNumber(bytes, '\n') : std::nullopt;
        if (!inode) {
            return std::nullopt;
        }
        checkpoint.logFile = FileIdentity{*device, *inode};
    } else if (bytes.starts_with(kFirstFormat)) {
        bytes.remove_prefix(kFirstFormat.size());
    } else {
        return std::nullopt;
    }
    std::optional<std::uint64_t> pathSize = takeNumber(bytes, '\n');
    if (!pathSize || *pathSize == 0 || *pathSize > bytes.size()) {
        return std::nullopt;
    }
    std::string_view record = bytes.substr(*pathSize);
    if (record.empty() || record.find('\n') != record.size() - 1 || intervalKey(record).empty()) {
        return std::nullopt;
    }
    checkpoint.logPath = bytes.substr(0, *pathSize);
    checkpoint.record = record;
    return checkpoint;
}

bool sameInterval(std::string_view lastLine, std::string_view record) {
    std::string_view key = intervalKey(record);
    return !key.empty() && intervalKey(lastLine) == key;
}

bool startsBefore(std::string_view record, std::string_view lastLine) {
    auto fields = [](const LocalTime& t) {
        return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
    };
    std::optional<LocalTime> start = startOf(record);
    std::optional<LocalTime> last = startOf(lastLine);
    return start && last && fields(*start) < fields(*last);
}

}  // namespace tesuko
