// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstring>
#include <optional>
#include <string_view>

namespace tesuko {

// The fields of a switch record that the readers of the log use.
struct RecordFields {
    std::string_view start;    // field 0
    std::string_view name;     // field 1
    std::string_view title;    // field 2
    std::string_view seconds;  // field 5
};

// Splits one line (without its line feed) at "," by position alone, with no
// quoting; nullopt for a row of fewer than six fields. Inline: it runs once
// for every line of the log.
inline std::optional<RecordFields> recordFields(std::string_view line) {
    if (line.empty()) {
        return std::nullopt;
    }
    const char* end = line.data() + line.size();
    const char* commas[5];
    const char* from = line.data();
    for (const char*& comma : commas) {
        comma = static_cast<const char*>(std::memchr(from, ',', std::size_t(end - from)));
        if (comma == nullptr) {
            return std::nullopt;
        }
        from = comma + 1;
    }
    const char* secondsEnd =
        static_cast<const char*>(std::memchr(from, ',', std::size_t(end - from)));
    if (secondsEnd == nullptr) {
        secondsEnd = end;
    }
    return RecordFields{{line.data(), std::size_t(commas[0] - line.data())},
                        {commas[0] + 1, std::size_t(commas[1] - commas[0] - 1)},
                        {commas[1] + 1, std::size_t(commas[2] - commas[1] - 1)},
                        {from, std::size_t(secondsEnd - from)}};
}

}  // namespace tesuko
