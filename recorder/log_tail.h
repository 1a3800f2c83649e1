// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tesuko {

// When the record on the line at `offset`, whose start field is given,
// began, on the steady clock; nullopt for a line that is no record.
using RecordStart = std::function<std::optional<std::chrono::steady_clock::time_point>(
    std::size_t offset, std::string_view startField)>;

struct LogBefore {
    std::string kept;
    std::size_t unchanged = 0;  // the first bytes of `kept`, as the log had them
};

// The log without what it holds from `cut` on. Walking back from its end:
// each record that starts at or after the cut goes, with every line after
// it; the first record that starts before the cut stays, its seconds
// shortened when it runs past the cut, and so does everything before it.
// Every other byte stays as it was. Lines that are no record are judged by
// where they stand.
LogBefore logBefore(std::string_view log, std::chrono::steady_clock::time_point cut,
                    const RecordStart& startOf);

// The seconds field of a record's line (without its line end), the sixth as
// the ranking reads it.
std::optional<double> recordSeconds(std::string_view line);

}  // namespace tesuko
