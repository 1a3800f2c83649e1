// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tesuko {

// Where a new rule goes: before the first category rule (it then decides
// before all others), at the end, or before the line given (1-based).
struct RulePlace {
    enum class Kind { first, last, beforeLine };
    Kind kind = Kind::last;
    int line = 0;
};

// `Work/Mail = app "Mail"` (or `title "..."`), quoted as the rules file
// reads it; none when the path is not a category path the file can hold.
std::optional<std::string> ruleLine(std::string_view category, bool title, std::string_view text);

// The rules file with the line put in its place, every other byte kept.
std::string withRuleLine(std::string_view file, std::string_view line, RulePlace place);

}  // namespace tesuko
