// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/title_pattern.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace tesuko {

namespace {

char32_t fold(char32_t c) {
    return char32_t(u_foldCase(UChar32(c), U_FOLD_CASE_DEFAULT));
}

std::string utf8Of(std::u32string_view text) {
    icu::UnicodeString unicode;
    for (char32_t c : text) {
        unicode.append(UChar32(c));
    }
    std::string utf8;
    unicode.toUTF8String(utf8);
    return utf8;
}

// The code points of the text, composed and without the default-ignorable
// ones: a title may spell "é" either way, and hide characters no one sees.
std::u32string composed(std::string_view utf8) {
    icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())));
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_SUCCESS(status)) {
        icu::UnicodeString normal = nfc->normalize(text, status);
        if (U_SUCCESS(status)) {
            text = normal;
        }
    }
    std::u32string out;
    out.reserve(std::size_t(text.length()));
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        const UChar32 c = text.char32At(i);
        if (!u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) {
            out += char32_t(c);
        }
    }
    return out;
}

}  // namespace

std::u32string foldedText(std::string_view utf8) {
    std::u32string text = composed(utf8);
    std::transform(text.begin(), text.end(), text.begin(), fold);
    return text;
}

std::u32string foldedTitle(std::string_view utf8) {
    std::u32string text = foldedText(utf8);
    const auto white = [](char32_t c) { return u_isUWhiteSpace(UChar32(c)); };
    text.erase(std::find_if_not(text.rbegin(), text.rend(), white).base(), text.end());
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), white));
    return text;
}

bool TitlePattern::Token::accepts(char32_t c) const {
    switch (kind) {
        case Kind::literal:
            return c == character;
        case Kind::any:
            return true;
        case Kind::run:
            return false;
        case Kind::set:
            break;
    }
    bool inside = std::any_of(ranges.begin(), ranges.end(), [c](const auto& range) {
        return range.first <= c && c <= range.second;
    });
    return inside != negated;
}

std::optional<PatternProblem> TitlePattern::parse(std::string_view pattern,
                                                  std::vector<Token>& tokens) {
    using Kind = PatternProblem::Kind;
    const std::u32string text = composed(pattern);
    if (text.empty()) {
        return PatternProblem{Kind::empty, ""};
    }
    // The character at `at` as written, after a "\" if there is one.
    auto literalAt = [&](std::size_t& at) -> std::optional<char32_t> {
        if (text[at] == U'\\' && ++at == text.size()) {
            return std::nullopt;
        }
        return text[at++];
    };
    const PatternProblem lonelyEscape{Kind::lonelyEscape, utf8Of(text)};
    for (std::size_t at = 0; at < text.size();) {
        Token token;
        if (text[at] == U'*') {
            token.kind = Token::Kind::run;
            ++at;
        } else if (text[at] == U'?') {
            token.kind = Token::Kind::any;
            ++at;
        } else if (text[at] == U'[') {
            const std::size_t open = at++;
            token.kind = Token::Kind::set;
            if (at < text.size() && (text[at] == U'!' || text[at] == U'^')) {
                token.negated = true;
                ++at;
            }
            // A "]" right after the opening stands for itself, as in the shell.
            for (bool first = true; at < text.size() && (first || text[at] != U']');
                 first = false) {
                std::optional<char32_t> low = literalAt(at);
                if (!low) {
                    return lonelyEscape;
                }
                char32_t high = *low;
                if (at + 1 < text.size() && text[at] == U'-' && text[at + 1] != U']') {
                    ++at;
                    std::optional<char32_t> end = literalAt(at);
                    if (!end) {
                        return lonelyEscape;
                    }
                    if (*end < *low) {
                        return PatternProblem{Kind::backwardRange,
                                              utf8Of(std::u32string{*low, U'-', *end})};
                    }
                    high = *end;
                }
                // Folded ends keep a range of capitals a range of their small letters.
                const bool foldsAlike = fold(*low) <= fold(high);
                token.ranges.emplace_back(foldsAlike ? fold(*low) : *low,
                                          foldsAlike ? fold(high) : high);
            }
            if (at == text.size()) {
                return PatternProblem{Kind::unclosedSet, utf8Of(text.substr(open))};
            }
            ++at;
        } else {
            std::optional<char32_t> c = literalAt(at);
            if (!c) {
                return lonelyEscape;
            }
            token.character = fold(*c);
        }
        tokens.push_back(std::move(token));
    }
    return std::nullopt;
}

std::string problemText(const PatternProblem& problem) {
    const std::string part = "\u201C" + problem.part + "\u201D";
    switch (problem.kind) {
        case PatternProblem::Kind::empty:
            break;
        case PatternProblem::Kind::lonelyEscape:
            return part + " ends in a \u201C\\\u201D that makes nothing literal.";
        case PatternProblem::Kind::backwardRange:
            return "The range " + part + " runs backwards.";
        case PatternProblem::Kind::unclosedSet:
            return part + " opens a set with \u201C[\u201D that no \u201C]\u201D closes.";
    }
    return "An empty pattern matches no title.";
}

std::optional<PatternProblem> TitlePattern::problem(std::string_view pattern) {
    std::vector<Token> tokens;
    return parse(pattern, tokens);
}

std::optional<TitlePattern> TitlePattern::compile(std::string_view pattern) {
    TitlePattern compiled;
    if (parse(pattern, compiled.tokens_)) {
        return std::nullopt;
    }
    return compiled;
}

// Greedy with one step back to the last "*": every other token takes exactly
// one character, so this never needs more than one remembered choice.
bool TitlePattern::matches(const std::u32string& title) const {
    const std::size_t count = tokens_.size();
    std::size_t t = 0;
    std::size_t p = 0;
    std::optional<std::size_t> lastRun;
    std::size_t runEnd = 0;
    while (t < title.size()) {
        if (p < count && tokens_[p].kind == Token::Kind::run) {
            lastRun = p++;
            runEnd = t;
        } else if (p < count && tokens_[p].accepts(title[t])) {
            ++p;
            ++t;
        } else if (lastRun) {
            p = *lastRun + 1;
            t = ++runEnd;
        } else {
            return false;
        }
    }
    while (p < count && tokens_[p].kind == Token::Kind::run) {
        ++p;
    }
    return p == count;
}

}  // namespace tesuko
