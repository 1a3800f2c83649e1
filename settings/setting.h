// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// The persisted location of the activity log, as file URL text.
class Setting {
  public:
    static constexpr const char* kSaveFilePathKey = "saveFilePath";
    // The folder shared with other machines, an absolute path; empty when
    // this machine keeps its log to itself.
    static constexpr const char* kSharedFolderKey = "sharedFolder";

    Setting(UserDefaults& defaults, SystemLog& systemLog) : defaults_(defaults), log_(systemLog) {}

    // Stores the text, writes it through at once and logs what reads back.
    void setFilePath(const std::string& value);
    // The stored text with every percent-escape decoded, or nullopt when none is stored.
    std::optional<std::string> getFilePath() const;
    // Stores the shared folder ("" for none), written through at once.
    void setSharedFolder(const std::string& folder);
    std::optional<std::string> getSharedFolder() const;

  private:
    UserDefaults& defaults_;
    SystemLog& log_;
};

}  // namespace tesuko
