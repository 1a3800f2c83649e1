// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/system_log.h"
#include "ranking/log_scanner.h"
#include "ranking/totals_cache.h"

namespace tesuko {

// What ReadPosition::sample holds for the file at the position's path, when
// that is still the file counted: a cache of the log is taken up only while
// this reads the same.
std::optional<std::uint64_t> sampleOf(FileSystem& fileSystem, const ReadPosition& at);

// A LogScanner whose first scan starts from what a cache holds, and which
// saves its state there whenever a scan moved it on.
class CachedScanner {
  public:
    explicit CachedScanner(SystemLog& systemLog, LocalDays localDays = LocalDays())
        : scanner_(systemLog, std::move(localDays)) {}

    // Read at the next scan; nullptr for none.
    void setCache(std::unique_ptr<TotalsCache> cache) {
        cache_ = std::move(cache);
        cacheRead_ = false;
    }

    // See LogScanner::scan. Only a whole scan saves the cache: writing it,
    // which takes a while for a large log, is no part of a scan in parts.
    std::optional<std::string> scan(FileSystem& fileSystem, const std::string& path,
                                    const std::optional<OwnAppends>& ownAppends = std::nullopt,
                                    std::uint64_t slice = LogScanner::kWholeFile);

    const LogScanner& scanner() const { return scanner_; }
    // The path of the last scan.
    const std::string& path() const { return path_; }

  private:
    LogScanner scanner_;
    std::unique_ptr<TotalsCache> cache_;
    bool cacheRead_ = false;
    std::optional<ReadPosition> savedPosition_;
    std::string path_;
};

}  // namespace tesuko
