// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesuko {

// What a rule compares with: a text, or a /regular expression/.
struct Pattern {
    std::string text;
    bool regex = false;
    int column = 0;  // where it starts on its line, for problems found later

    bool operator==(const Pattern&) const = default;
};

// `alias PATTERN = NAME`: applications that match are shown as NAME.
struct Alias {
    Pattern application;  // a text matches the whole name exactly
    std::string name;
    int line = 0;

    bool operator==(const Alias&) const = default;
};

// `Work/Mail = app PATTERN title PATTERN`: time in what matches belongs there.
struct CategoryRule {
    std::string category;                // its path, segments joined by "/"
    std::optional<Pattern> application;  // a text matches anywhere, in any case
    std::optional<Pattern> title;
    int line = 0;

    bool operator==(const CategoryRule&) const = default;
};

// A line that does not apply, and why; or a pattern that failed later.
struct RuleProblem {
    enum class Kind {
        notUtf8,
        missingEquals,
        emptyCategory,
        emptyName,
        missingCondition,
        unknownCondition,   // detail: the word
        repeatedCondition,  // detail: app or title
        missingPattern,
        unclosedPattern,
        badRegex,  // detail: ICU's name for the error
        tooSlow,   // a regular expression ran past its time limit
    };
    int line = 0;
    int column = 0;  // 1-based, in characters
    Kind kind = Kind::missingEquals;
    std::string detail;

    bool operator==(const RuleProblem&) const = default;
};

struct RuleFile {
    std::vector<Alias> aliases;
    std::vector<CategoryRule> rules;
    std::vector<RuleProblem> problems;  // their lines are left out
};

// Reads the rules file, line by line; a broken line is reported and skipped,
// the others apply. Regular expressions are only checked when compiled.
RuleFile parseRuleFile(std::string_view text);

// "FILE:LINE:COLUMN: what is wrong", for the system log and stderr.
std::string ruleProblemText(std::string_view file, const RuleProblem& problem);

}  // namespace tesuko
