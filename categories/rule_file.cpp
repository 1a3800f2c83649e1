// SPDX-License-Identifier: GPL-3.0-or-later
#include "categories/rule_file.h"

#include <array>
#include <variant>

#include "text/utf8.h"

namespace tesuko {

namespace {

using Kind = RuleProblem::Kind;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// One line, read from left to right; a problem ends the reading.
class LineReader {
  public:
    explicit LineReader(std::string_view line) : line_(line) {}

    void skipSpaces() {
        while (at_ < line_.size() && isSpace(line_[at_])) {
            ++at_;
        }
    }
    bool atEnd() {
        skipSpaces();
        return at_ == line_.size();
    }
    bool take(char c) {
        skipSpaces();
        if (at_ < line_.size() && line_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    // Up to the next space, or `stop`.
    std::string_view word(char stop = '\0') {
        skipSpaces();
        std::size_t from = at_;
        while (at_ < line_.size() && !isSpace(line_[at_]) && line_[at_] != stop) {
            ++at_;
        }
        return line_.substr(from, at_ - from);
    }
    // Up to `stop` or the end, without the spaces around it.
    std::string_view upTo(char stop) {
        skipSpaces();
        std::size_t from = at_;
        at_ = std::min(line_.find(stop, at_), line_.size());
        std::string_view found = line_.substr(from, at_ - from);
        while (!found.empty() && isSpace(found.back())) {
            found.remove_suffix(1);
        }
        return found;
    }
    // `/regex/`, `"text"` (with \" and \\) or a word that ends at `stop`.
    std::variant<Pattern, RuleProblem> pattern(char stop = '\0') {
        skipSpaces();
        Pattern found;
        found.column = column();
        if (at_ == line_.size()) {
            return problem(Kind::missingPattern);
        }
        const char open = line_[at_];
        if (open != '/' && open != '"') {
            found.text = word(stop);
            if (found.text.empty()) {
                return problem(Kind::missingPattern);
            }
            return found;
        }
        found.regex = open == '/';
        for (std::size_t i = at_ + 1; i < line_.size(); ++i) {
            if (line_[i] == open) {
                at_ = i + 1;
                return found;
            }
            // In a regular expression an escape stays for ICU to read.
            if (line_[i] == '\\' && i + 1 < line_.size()) {
                if (found.regex) {
                    found.text += '\\';
                }
                ++i;
            }
            found.text += line_[i];
        }
        return problem(Kind::unclosedPattern);
    }
    RuleProblem problem(Kind kind, std::string detail = {}) {
        return RuleProblem{0, column(), kind, std::move(detail)};
    }
    int column() const {
        int characters = 1;
        for (char c : line_.substr(0, at_)) {
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }
        return characters;
    }

  private:
    std::string_view line_;
    std::size_t at_ = 0;
};

// "Work / Mail" is "Work/Mail"; nullopt for an empty segment.
std::optional<std::string> categoryPath(std::string_view text) {
    std::string path;
    while (true) {
        std::size_t slash = std::min(text.find('/'), text.size());
        std::string_view segment = text.substr(0, slash);
        while (!segment.empty() && isSpace(segment.front())) {
            segment.remove_prefix(1);
        }
        while (!segment.empty() && isSpace(segment.back())) {
            segment.remove_suffix(1);
        }
        if (segment.empty()) {
            return std::nullopt;
        }
        path += segment;
        if (slash == text.size()) {
            return path;
        }
        path += '/';
        text.remove_prefix(slash + 1);
    }
}

std::variant<Alias, RuleProblem> readAlias(LineReader& line) {
    auto application = line.pattern('=');
    if (auto* problem = std::get_if<RuleProblem>(&application)) {
        return *problem;
    }
    if (!line.take('=')) {
        return line.problem(Kind::missingEquals);
    }
    std::string_view name = line.upTo('\n');
    if (name.empty()) {
        return line.problem(Kind::emptyName);
    }
    return Alias{std::get<Pattern>(application), std::string(name)};
}

std::variant<CategoryRule, RuleProblem> readCategoryRule(LineReader& line) {
    std::string_view path = line.upTo('=');
    if (!line.take('=')) {
        return line.problem(Kind::missingEquals);
    }
    CategoryRule rule;
    if (auto category = categoryPath(path)) {
        rule.category = std::move(*category);
    } else {
        return RuleProblem{0, 1, Kind::emptyCategory, {}};
    }
    while (!line.atEnd() || (!rule.application && !rule.title)) {
        if (line.atEnd()) {
            return line.problem(Kind::missingCondition);
        }
        LineReader before = line;
        std::string_view what = line.word();
        std::optional<Pattern>* slot = what == "app"     ? &rule.application
                                       : what == "title" ? &rule.title
                                                         : nullptr;
        if (slot == nullptr || slot->has_value()) {
            return before.problem(slot ? Kind::repeatedCondition : Kind::unknownCondition,
                                  std::string(what));
        }
        auto pattern = line.pattern();
        if (auto* problem = std::get_if<RuleProblem>(&pattern)) {
            return *problem;
        }
        *slot = std::get<Pattern>(pattern);
    }
    return rule;
}

}  // namespace

RuleFile parseRuleFile(std::string_view text) {
    RuleFile file;
    int number = 0;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view content = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        LineReader line(content);
        if (line.atEnd() || line.take('#')) {
            continue;
        }
        if (utf8::valid(content) != content) {
            file.problems.push_back({number, 1, Kind::notUtf8, {}});
            continue;
        }
        LineReader afterWord = line;
        if (afterWord.word() == "alias" && !afterWord.atEnd()) {
            auto alias = readAlias(afterWord);
            if (auto* read = std::get_if<Alias>(&alias)) {
                read->line = number;
                file.aliases.push_back(std::move(*read));
                continue;
            }
            file.problems.push_back(std::get<RuleProblem>(alias));
        } else {
            auto rule = readCategoryRule(line);
            if (auto* read = std::get_if<CategoryRule>(&rule)) {
                read->line = number;
                file.rules.push_back(std::move(*read));
                continue;
            }
            file.problems.push_back(std::get<RuleProblem>(rule));
        }
        file.problems.back().line = number;
    }
    return file;
}

std::string ruleProblemText(std::string_view file, const RuleProblem& problem) {
    // What is wrong, and what goes after the detail when there is one.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kWhat = {{
        {"the line is not UTF-8", ""},
        {"expected \"=\"", ""},
        {"a category needs a name between its slashes", ""},
        {"an alias needs a name after \"=\"", ""},
        {"expected \"app\" or \"title\" and what to match", ""},
        {"expected \"app\" or \"title\", not \"", "\""},
        {"the rule already has a condition on \"", "\""},
        {"expected a text, a \"quoted text\" or a /regular expression/", ""},
        {"the pattern is not closed", ""},
        {"the regular expression is not valid: ", ""},
        {"the regular expression took too long and no longer applies", ""},
    }};
    const auto& [what, after] = kWhat[std::size_t(problem.kind)];
    return std::string(file) + ":" + std::to_string(problem.line) + ":" +
           std::to_string(problem.column) + ": " + std::string(what) + problem.detail +
           std::string(after);
}

}  // namespace tesuko
