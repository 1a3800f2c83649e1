// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/system_log.h"
#include "ranking/cached_scanner.h"
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
    // `logPath` gives the log's path at each scan, from whoever holds its location.
    Log(FileSystem& fileSystem, SystemLog& systemLog, std::function<std::string()> logPath);

    // Brings the totals up to date with what the log holds now.
    void scanLog() { scanLogPart(LogScanner::kWholeFile); }
    // Scans on for about `bytes` bytes at most, so that a long first scan can
    // leave room for other work between parts; true once caught up.
    bool scanLogPart(std::uint64_t bytes);
    // Where to learn which changes of the log were the recorder's own appends,
    // which need not be read again from the start.
    void takeOwnAppendsFrom(std::function<std::optional<OwnAppends>()> ownAppends) {
        ownAppends_ = std::move(ownAppends);
    }
    // The totals of the last scan, largest first; empty before the first scan.
    RankList getRankLog() const;

    // Keeps the totals in the cache between runs; the first scan starts from
    // what it holds when it still matches the log.
    void setTotalsCache(std::unique_ptr<TotalsCache> cache);

    // What the last scan counted, per application and per day, and where.
    const ScanState& state() const { return scanner_.scanner().state(); }
    const std::string& path() const { return scanner_.path(); }
    const LocalDays& localDays() const { return scanner_.scanner().localDays(); }

  private:
    FileSystem& fileSystem_;
    std::function<std::string()> logPath_;
    CachedScanner scanner_;
    std::function<std::optional<OwnAppends>()> ownAppends_;
};

}  // namespace tesuko
