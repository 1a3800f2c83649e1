// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/privacy_setting.h"
#include "settings/title_pattern.h"

namespace tesuko {

// The privacy lists made ready to ask at every switch. Names and titles are
// compared without regard to case.
class PrivacyRules {
  public:
    // Nothing private, nothing untracked.
    PrivacyRules() = default;
    // Patterns that cannot be used are left out, each with why in refused().
    explicit PrivacyRules(const PrivacyLists& lists);

    bool untracked(std::string_view application) const;
    // Whether the title of this application's window must not be written.
    bool hidesTitle(std::string_view application, std::string_view title) const;

    const std::vector<std::string>& refused() const { return refused_; }

  private:
    static bool named(const std::vector<std::u32string>& names, std::string_view application);

    std::vector<TitlePattern> privateTitles_;
    std::vector<std::u32string> privateTitleApplications_;
    std::vector<std::u32string> untrackedApplications_;
    std::vector<std::string> refused_;
};

}  // namespace tesuko
