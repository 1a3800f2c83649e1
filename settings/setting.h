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

    Setting(UserDefaults& defaults, SystemLog& systemLog) : defaults_(defaults), log_(systemLog) {}

    // Stores the text, writes it through at once and logs what reads back.
    void setFilePath(const std::string& value);
    // The stored text with every percent-escape decoded, or nullopt when none is stored.
    std::optional<std::string> getFilePath() const;

  private:
    UserDefaults& defaults_;
    SystemLog& log_;
};

}  // namespace tesuko
