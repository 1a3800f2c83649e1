// SPDX-License-Identifier: GPL-3.0-or-later
#include "categories/rule_set.h"

#include <unicode/regex.h>
#include <unicode/utext.h>

#include <algorithm>
#include <cstdint>

namespace tesuko {

namespace {

// Steps of ICU's match engine, of the order of a millisecond each: far above
// what a sound pattern takes on a title, far below a hang.
constexpr std::int32_t kTimeLimit = 200;

}  // namespace

// A compiled pattern: an exact text, or an ICU matcher of its pattern.
struct RuleSet::Matcher {
    std::optional<std::string> exact;
    std::unique_ptr<icu::RegexPattern> pattern;  // outlives the matcher, which reads it
    std::unique_ptr<icu::RegexMatcher> regex;
    int line = 0;
    int column = 0;
};

struct RuleSet::CompiledAlias {
    Matcher application;
    std::string name;
};

struct RuleSet::CompiledRule {
    std::optional<Matcher> application;
    std::optional<Matcher> title;
    std::string category;
};

RuleSet::RuleSet() = default;
RuleSet::RuleSet(RuleSet&&) noexcept = default;
RuleSet& RuleSet::operator=(RuleSet&&) noexcept = default;
RuleSet::~RuleSet() = default;

RuleSet::RuleSet(RuleFile file) : problems_(std::move(file.problems)) {
    for (Alias& alias : file.aliases) {
        if (auto matcher = compile(alias.application, alias.line, false)) {
            aliases_.push_back({std::move(*matcher), std::move(alias.name)});
        }
    }
    for (CategoryRule& rule : file.rules) {
        CompiledRule compiled{std::nullopt, std::nullopt, std::move(rule.category)};
        bool sound = true;
        for (auto [pattern, slot] : {std::pair{&rule.application, &compiled.application},
                                     std::pair{&rule.title, &compiled.title}}) {
            if (*pattern) {
                *slot = compile(**pattern, rule.line, true);
                sound = sound && slot->has_value();
            }
        }
        if (sound) {
            rules_.push_back(std::move(compiled));
        }
    }
}

// An alias's text is the whole name, as the desktop gives it; a rule's text
// is found anywhere, in any case.
std::optional<RuleSet::Matcher> RuleSet::compile(const Pattern& pattern, int line, bool substring) {
    Matcher compiled;
    compiled.line = line;
    compiled.column = pattern.column;
    if (!pattern.regex && !substring) {
        compiled.exact = pattern.text;
    } else {
        UErrorCode status = U_ZERO_ERROR;
        UParseError where{};
        const std::uint32_t flags = UREGEX_CASE_INSENSITIVE | (pattern.regex ? 0 : UREGEX_LITERAL);
        compiled.pattern.reset(icu::RegexPattern::compile(
            icu::UnicodeString::fromUTF8(pattern.text), flags, where, status));
        if (U_SUCCESS(status)) {
            compiled.regex.reset(compiled.pattern->matcher(status));
        }
        if (U_SUCCESS(status)) {
            compiled.regex->setTimeLimit(kTimeLimit, status);
        }
        if (U_FAILURE(status)) {
            // Past the opening slash, at the character ICU stopped at.
            const int at = pattern.column + 1 + std::max(0, where.offset);
            problems_.push_back({line, at, RuleProblem::Kind::badRegex, u_errorName(status)});
            return std::nullopt;
        }
    }
    return compiled;
}

bool RuleSet::matches(Matcher& matcher, std::string_view text) {
    if (matcher.exact) {
        return *matcher.exact == text;
    }
    if (!matcher.regex) {
        return false;  // ran past its time limit once
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::LocalUTextPointer utf8(
        utext_openUTF8(nullptr, text.data(), std::int64_t(text.size()), &status));
    matcher.regex->reset(utf8.getAlias());
    const bool found = matcher.regex->find(status);
    matcher.regex->reset(icu::UnicodeString());  // holds no pointer into `text`
    if (status == U_REGEX_TIME_OUT) {
        problems_.push_back({matcher.line, matcher.column, RuleProblem::Kind::tooSlow, {}});
        matcher.regex.reset();
    }
    return U_SUCCESS(status) && found;
}

std::string RuleSet::shownName(std::string_view application) {
    for (CompiledAlias& alias : aliases_) {
        if (matches(alias.application, application)) {
            return alias.name;
        }
    }
    return std::string(application);
}

std::optional<std::string> RuleSet::categoryOf(std::string_view shownName, std::string_view title) {
    for (CompiledRule& rule : rules_) {
        if ((!rule.application || matches(*rule.application, shownName)) &&
            (!rule.title || matches(*rule.title, title))) {
            return rule.category;
        }
    }
    return std::nullopt;
}

}  // namespace tesuko
