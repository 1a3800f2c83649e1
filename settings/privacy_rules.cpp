// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/privacy_rules.h"

#include <algorithm>

namespace tesuko {

PrivacyRules::PrivacyRules(const PrivacyLists& lists) {
    for (const std::string& pattern : lists.privateTitles) {
        if (std::optional<TitlePattern> compiled = TitlePattern::compile(pattern)) {
            privateTitles_.push_back(std::move(*compiled));
        } else {
            refused_.push_back(problemText(*TitlePattern::problem(pattern)));
        }
    }
    for (const std::string& name : lists.privateTitleApplications) {
        privateTitleApplications_.push_back(foldedText(name));
    }
    for (const std::string& name : lists.untrackedApplications) {
        untrackedApplications_.push_back(foldedText(name));
    }
}

bool PrivacyRules::named(const std::vector<std::u32string>& names, std::string_view application) {
    if (names.empty()) {
        return false;  // no folding at every switch for the usual empty list
    }
    return std::find(names.begin(), names.end(), foldedText(application)) != names.end();
}

bool PrivacyRules::untracked(std::string_view application) const {
    return named(untrackedApplications_, application);
}

bool PrivacyRules::hidesTitle(std::string_view application, std::string_view title) const {
    if (named(privateTitleApplications_, application)) {
        return true;
    }
    if (privateTitles_.empty()) {
        return false;
    }
    const std::u32string folded = foldedTitle(title);
    return std::any_of(privateTitles_.begin(), privateTitles_.end(),
                       [&](const TitlePattern& pattern) { return pattern.matches(folded); });
}

}  // namespace tesuko
