// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/setting.h"

#include "settings/file_url.h"

namespace tesuko {

void Setting::setFilePath(const std::string& value) {
    defaults_.set(kSaveFilePathKey, value);
    bool written = defaults_.synchronize();
    log_.info("書き込みました" + defaults_.string(kSaveFilePathKey).value_or("(null)") +
              "書き込み");
    if (!written) {
        // The choice holds until the program ends, but the next start would not know it.
        log_.error(
            "Could not save the log location for the next start: the settings store "
            "cannot be written");
    }
}

void Setting::setSharedFolder(const std::string& folder) {
    defaults_.set(kSharedFolderKey, folder);
    if (!defaults_.synchronize()) {
        log_.error(
            "Could not save the shared folder for the next start: the settings store "
            "cannot be written");
    }
}

std::optional<std::string> Setting::getSharedFolder() const {
    auto stored = defaults_.string(kSharedFolderKey);
    return stored && !stored->empty() ? stored : std::nullopt;
}

std::optional<std::string> Setting::getFilePath() const {
    auto stored = defaults_.string(kSaveFilePathKey);
    if (!stored) {
        return std::nullopt;
    }
    return percentDecode(*stored);
}

}  // namespace tesuko
