// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesuko {

// Text made ready to be compared without regard to case: composed (NFC)
// without default-ignorable code points, then each character case-folded on
// its own (ICU's simple folding), so that one character stays one.
std::u32string foldedText(std::string_view utf8);
// A window title made ready for the patterns: folded, and without white space
// at either end, so that nothing unseen keeps a private title from matching.
std::u32string foldedTitle(std::string_view utf8);

// Why a pattern cannot be used, with the part of it (UTF-8) that shows why.
struct PatternProblem {
    enum class Kind { empty, lonelyEscape, backwardRange, unclosedSet };
    Kind kind = Kind::empty;
    std::string part;
};
// The problem in English, for the system log.
std::string problemText(const PatternProblem& problem);

// A shell-style pattern for whole window titles, blind to case: "*" stands
// for any run of characters, "?" for any one, "[abc]" and "[a-z]" for one of
// a set, "[!abc]" (or "[^abc]") for one outside it, and "\" makes the next
// character stand for itself.
class TitlePattern {
  public:
    // Why the pattern cannot be used; nullopt when it can.
    static std::optional<PatternProblem> problem(std::string_view pattern);
    // nullopt for a pattern with a problem.
    static std::optional<TitlePattern> compile(std::string_view pattern);

    bool matches(const std::u32string& foldedTitle) const;

  private:
    // One character of the title each, but for a run of any length.
    struct Token {
        enum class Kind { literal, any, run, set } kind = Kind::literal;
        char32_t character = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;

        bool accepts(char32_t c) const;
    };
    static std::optional<PatternProblem> parse(std::string_view pattern,
                                               std::vector<Token>& tokens);

    std::vector<Token> tokens_;
};

}  // namespace tesuko
