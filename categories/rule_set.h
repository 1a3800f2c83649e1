// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "categories/rule_file.h"

namespace tesuko {

// The rules of a rules file, ready to apply. Aliases come first: the first
// that matches names the application, and category rules see that name. The
// first category rule whose conditions all match decides; none is no
// category. A regular expression that runs past its time limit (one that
// backtracks without end) stops applying and becomes a problem of its own.
class RuleSet {
  public:
    RuleSet();  // no rules: names as they are, no categories
    explicit RuleSet(RuleFile file);
    RuleSet(RuleSet&&) noexcept;
    RuleSet& operator=(RuleSet&&) noexcept;
    ~RuleSet();

    bool empty() const { return aliases_.empty() && rules_.empty(); }
    // The file's problems, then those of its patterns.
    const std::vector<RuleProblem>& problems() const { return problems_; }

    // The name to show for an application.
    std::string shownName(std::string_view application);
    // The category of the time in a window; nullopt for none.
    std::optional<std::string> categoryOf(std::string_view shownName, std::string_view title);

  private:
    struct Matcher;
    struct CompiledAlias;
    struct CompiledRule;

    std::optional<Matcher> compile(const Pattern& pattern, int line, bool substring);
    bool matches(Matcher& matcher, std::string_view text);

    std::vector<CompiledAlias> aliases_;
    std::vector<CompiledRule> rules_;
    std::vector<RuleProblem> problems_;
};

}  // namespace tesuko
