// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace tesuko {

// What the user keeps out of the log.
struct PrivacyLists {
    // Title patterns (see TitlePattern): a matching window is written with
    // its application's name in the title's place.
    std::vector<std::string> privateTitles;
    // Applications whose window titles are never written, by name.
    std::vector<std::string> privateTitleApplications;
    // Applications whose time is not recorded at all, by name.
    std::vector<std::string> untrackedApplications;

    bool operator==(const PrivacyLists&) const = default;
};

}  // namespace tesuko
