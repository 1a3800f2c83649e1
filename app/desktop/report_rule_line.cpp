// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_rule_line.h"

#include "categories/rule_file.h"

namespace tesuko {

std::optional<std::string> ruleLine(std::string_view category, bool title, std::string_view text) {
    std::string line = std::string(category) + (title ? " = title \"" : " = app \"");
    for (char c : text) {
        line += c == '"' || c == '\\' ? std::string{'\\', c} : std::string{c};
    }
    line += '"';
    // Whatever the path holds ('=', '#', a line feed, an empty segment), the
    // line is good when the file reads it back as one rule for that text.
    const RuleFile read = parseRuleFile(line);
    if (!read.problems.empty() || !read.aliases.empty() || read.rules.size() != 1) {
        return std::nullopt;
    }
    const auto& pattern = title ? read.rules[0].title : read.rules[0].application;
    return pattern && !pattern->regex && pattern->text == text ? std::optional(line) : std::nullopt;
}

std::string withRuleLine(std::string_view file, std::string_view line, RulePlace place) {
    if (place.kind == RulePlace::Kind::first) {
        const RuleFile read = parseRuleFile(file);
        place = read.rules.empty() ? RulePlace{}
                                   : RulePlace{RulePlace::Kind::beforeLine, read.rules[0].line};
    }
    std::size_t at = file.size();
    if (place.kind == RulePlace::Kind::beforeLine) {
        at = 0;
        for (int number = 1; number < place.line && at < file.size(); ++number) {
            const std::size_t end = file.find('\n', at);
            at = end == std::string_view::npos ? file.size() : end + 1;
        }
    }
    std::string result(file.substr(0, at));
    if (!result.empty() && result.back() != '\n') {
        result += '\n';
    }
    return result.append(line).append("\n").append(file.substr(at));
}

}  // namespace tesuko
