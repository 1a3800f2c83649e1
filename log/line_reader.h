// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tesuko {

// A line of the log and the offset in the file where it begins; true to read on.
using OnLogLine = std::function<bool(std::uint64_t offset, std::string_view line)>;

// The complete lines of the file from `from` (where a line begins) on, read a
// chunk at a time, ended as every reader of the log ends them: at "\n", or at
// a "\r" that no "\n" follows (old Mac line ends), a "\r" last in the file
// included; in a "\r\n" the "\r" stays in the line. A line of longestLine bytes
// or more is no record but damage, and is skipped up to the next "\n". The
// unfinished last line is left alone. Returns why the file could not be read,
// if it could not.
//
// The plain reading, for reads of a stretch of the log; the ranking's scanner
// splits the same way, faster, as it reads every line.
std::optional<std::string> forEachLogLine(FileReader& reader, std::uint64_t from,
                                          std::size_t chunkSize, std::size_t longestLine,
                                          const OnLogLine& onLine);

}  // namespace tesuko
