#pragma once

#include <memory>
#include <optional>

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"
#include "ranking/log_scanner.h"
#include "ranking/rank_list.h"
#include "ranking/totals_cache.h"

namespace tesuko {

// Reads the activity log back and ranks applications by their total seconds.
// The log is only ever appended to, so a scan reads only what was added since
// the last one, and reads the whole file again when it was replaced, shrank or
// was edited in place.
class Log {
  public:
    Log(FileSystem& fileSystem, UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home);

    // Finds the log through the settings (the default location when none is
    // stored) and brings the totals up to date with what the file holds now.
    void scanLog();
    // The totals of the last scan, largest first; empty before the first scan.
    RankList getRankLog() const;

    // Keeps the totals in the cache between runs; the first scan starts from
    // what it holds when it still matches the log.
    void setTotalsCache(std::unique_ptr<TotalsCache> cache);

  private:
    void resumeFromCache();
    void saveToCache();

    FileSystem& fileSystem_;
    UserDefaults& defaults_;
    SystemLog& systemLog_;
    HomeFolder& home_;
    LogScanner scanner_;
    std::unique_ptr<TotalsCache> cache_;
    bool cacheRead_ = false;
    std::optional<ReadPosition> savedPosition_;
};

}  // namespace tesuko
