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
// send records and ranking to different places. Read over and over (at each
// scan, each tooltip), an unusable value is logged the first time it is met.
class StoredLogLocation {
  public:
    StoredLogLocation(UserDefaults& defaults, SystemLog& systemLog)
        : defaults_(defaults), systemLog_(systemLog) {}
    std::optional<FolderAndFile> read();

  private:
    UserDefaults& defaults_;
    SystemLog& systemLog_;
    std::optional<std::string> reported_;  // the unusable value met last
};
std::optional<FolderAndFile> storedLogLocation(UserDefaults& defaults, SystemLog& systemLog);

// The log that recording writes and the ranking reads: the stored location,
// or the default one while none is stored.
class LogPathLookup {
  public:
    LogPathLookup(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home)
        : stored_(defaults, systemLog), home_(home) {}
    std::string path();

  private:
    StoredLogLocation stored_;
    HomeFolder& home_;
};
std::string logPath(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home);

}  // namespace tesuko
