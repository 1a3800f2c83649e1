#pragma once

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"
#include "ranking/rank_list.h"

namespace tesuko {

// Reads the activity log back and ranks applications by their total seconds.
// The log is only ever appended to, so a scan reads only what was added since
// the last one, and reads the whole file again when it was replaced or shrank.
class Log {
public:
    Log(FileSystem& fileSystem, UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home);

    // Finds the log through the settings (the default location when none is
    // stored) and brings the totals up to date with what the file holds now.
    void scanLog();
    // The totals of the last scan, largest first; empty before the first scan.
    RankList getRankLog() const;
};

}  // namespace tesuko
