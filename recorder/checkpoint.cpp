// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/checkpoint.h"

#include <charconv>

namespace tesuko {

namespace {

constexpr std::string_view kFormat = "tesuko-checkpoint-1\n";

// The start and application fields, with the comma after them.
std::string_view intervalKey(std::string_view line) {
    std::size_t first = line.find(',');
    std::size_t second = first == std::string_view::npos ? first : line.find(',', first + 1);
    return second == std::string_view::npos ? std::string_view{} : line.substr(0, second + 1);
}

}  // namespace

// The path goes first with its length, since a path may hold any byte.
std::string encodeCheckpoint(const Checkpoint& checkpoint) {
    return std::string(kFormat) + std::to_string(checkpoint.logPath.size()) + "\n" +
           checkpoint.logPath + checkpoint.record;
}

std::optional<Checkpoint> decodeCheckpoint(std::string_view bytes) {
    if (!bytes.starts_with(kFormat)) {
        return std::nullopt;
    }
    bytes.remove_prefix(kFormat.size());
    std::size_t pathSize = 0;
    auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), pathSize);
    if (error != std::errc{} || end == bytes.data() + bytes.size() || *end != '\n') {
        return std::nullopt;
    }
    bytes.remove_prefix(std::size_t(end - bytes.data()) + 1);
    if (pathSize == 0 || pathSize > bytes.size()) {
        return std::nullopt;
    }
    std::string_view record = bytes.substr(pathSize);
    if (record.empty() || record.find('\n') != record.size() - 1 || intervalKey(record).empty()) {
        return std::nullopt;
    }
    return Checkpoint{std::string(bytes.substr(0, pathSize)), std::string(record)};
}

bool sameInterval(std::string_view lastLine, std::string_view record) {
    std::string_view key = intervalKey(record);
    return !key.empty() && intervalKey(lastLine) == key;
}

}  // namespace tesuko
