// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/privacy_setting.h"

#include <algorithm>

namespace tesuko {

std::vector<std::string> defaultPrivateTitles() {
    return {"*Private Browsing", "*(Private Browsing)", "*(Incognito)", "*Incognito",
            "*InPrivate*Microsoft*Edge*"};
}

std::string encodeList(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        text += text.empty() ? "" : "\n";
        text += entry;
    }
    return text;
}

std::vector<std::string> decodeList(std::string_view text) {
    std::vector<std::string> entries;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            entries.emplace_back(line);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return entries;
}

PrivacyLists PrivacySetting::lists() const {
    auto stored = [this](const char* key) {
        return decodeList(defaults_.string(key).value_or(""));
    };
    PrivacyLists lists{stored(kPrivateTitlesKey), stored(kPrivateTitleApplicationsKey),
                       stored(kUntrackedApplicationsKey)};
    if (!defaults_.string(kPrivateTitlesKey)) {
        lists.privateTitles = defaultPrivateTitles();
    }
    return lists;
}

bool PrivacySetting::setLists(const PrivacyLists& lists) {
    defaults_.set(kPrivateTitlesKey, encodeList(lists.privateTitles));
    defaults_.set(kPrivateTitleApplicationsKey, encodeList(lists.privateTitleApplications));
    defaults_.set(kUntrackedApplicationsKey, encodeList(lists.untrackedApplications));
    if (!defaults_.synchronize()) {
        log_.error(
            "Could not save the privacy lists for the next start: the settings store cannot "
            "be written");
        return false;
    }
    return true;
}

}  // namespace tesuko
