// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"
#include "settings/file_url.h"

namespace tesuko {

// Where the log lives until the user chooses another file: TESUKO in the
// desktop folder, which is named in the user's language. A log made before
// that, in ~/Desktop, goes on being used as long as the settings name it.
std::string defaultLogFolder(HomeFolder& home);
std::string defaultLogPath(HomeFolder& home);

// The location the settings hold (percent-escapes decoded), split into folder
// and file name; nullopt when none is stored, or when what is stored is
// neither a file URL nor an absolute path, which is logged: such a value would
// send records and ranking to different places.
std::optional<FolderAndFile> storedLogLocation(UserDefaults& defaults, SystemLog& systemLog);

// The log that recording writes and the ranking reads: the stored location,
// or the default one while none is stored.
std::string logPath(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home);

// logPath() for callers that look it up over and over (each scan, each
// tooltip): an unusable stored location is logged the first time only.
class LogPathLookup {
  public:
    LogPathLookup(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home)
        : defaults_(defaults), systemLog_(systemLog), home_(home) {}
    std::string path();

  private:
    UserDefaults& defaults_;
    SystemLog& systemLog_;
    HomeFolder& home_;
    std::optional<std::string> reported_;  // the unusable value logged last
};

}  // namespace tesuko
