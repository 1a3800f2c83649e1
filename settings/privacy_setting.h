// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/privacy_lists.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// The titles the common browsers give their private windows, in English:
// "Page — Mozilla Firefox Private Browsing" (LibreWolf and the other Firefox
// builds likewise, with their own names), "Page - Mozilla Firefox (Private
// Browsing)" (older Firefox), "Page - Google Chrome (Incognito)" (Chromium
// too), "Page - InPrivate - Microsoft Edge" (older: "[InPrivate]"), and
// "Private Browsing", the page an incognito GNOME Web window opens with: Web
// otherwise gives its incognito windows the page's own title.
std::vector<std::string> defaultPrivateTitles();

// One entry per line: an entry never holds a line break, and the settings
// file shows a list as one value the user can still read and edit.
std::string encodeList(const std::vector<std::string>& entries);
// Blank lines and a line's trailing "\r" are dropped.
std::vector<std::string> decodeList(std::string_view text);

// The lists in the settings file next to saveFilePath: "privateTitles",
// "privateTitleApplications", "untrackedApplications". Without a stored
// "privateTitles" the browsers' private windows are private by default.
class PrivacySetting {
  public:
    static constexpr const char* kPrivateTitlesKey = "privateTitles";
    static constexpr const char* kPrivateTitleApplicationsKey = "privateTitleApplications";
    static constexpr const char* kUntrackedApplicationsKey = "untrackedApplications";

    PrivacySetting(UserDefaults& defaults, SystemLog& systemLog)
        : defaults_(defaults), log_(systemLog) {}

    PrivacyLists lists() const;
    // Stores the lists and writes them through; false when that failed.
    bool setLists(const PrivacyLists& lists);

  private:
    UserDefaults& defaults_;
    SystemLog& log_;
};

}  // namespace tesuko
