// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_system.h"
#include "platform/system_log.h"
#include "ranking/log_scanner.h"

namespace tesuko {

// Keeps the counted totals between runs, so that the first scan after launch
// need not read the whole log. What it holds is a hint: it is taken up only
// for the log it was counted from, the same file (device, inode, size, times,
// the bytes before the position) that still reads the same at its first and
// last 64 KiB; otherwise the whole log is counted.
class TotalsCache {
  public:
    virtual ~TotalsCache() = default;

    // What was saved last; nullopt when there is nothing usable.
    virtual std::optional<ScanState> load() = 0;
    virtual void save(const ScanState& state) = 0;
};

// The stored form, ending in a checksum; nullopt for bytes that are damaged,
// of another version or not consistent.
std::string encodeScanState(const ScanState& state);
std::optional<ScanState> decodeScanState(std::string_view bytes);
// True for bytes that another version of tesuko stored: of no use here, but
// no sign of damage either.
bool isOtherScanStateVersion(std::string_view bytes);

// A cache in one private file, replaced whole on every save. It is only an
// optimisation: whatever is wrong with the file means "no cache" and a full
// scan, said in one warning per run, never an exception.
class FileTotalsCache : public TotalsCache {
  public:
    // A real cache holds a name and total per application and 12 bytes per
    // application a day: ten years of 60 applications every day take 3 MB.
    // This leaves room for decades more and still reads in a few tens of
    // milliseconds; anything larger is no cache of ours.
    static constexpr std::size_t kLargest = std::size_t(64) << 20;

    FileTotalsCache(FileSystem& fileSystem, SystemLog& systemLog, std::string path)
        : fileSystem_(fileSystem), systemLog_(systemLog), path_(std::move(path)) {}

    std::optional<ScanState> load() override;
    void save(const ScanState& state) override;

  private:
    void warnOnce(const std::string& text);

    FileSystem& fileSystem_;
    SystemLog& systemLog_;
    std::string path_;
    // A cache that failed once is likely to fail on every menu opening.
    bool warned_ = false;
};

// "<cacheFolder>/tesuko/totals.cache": the tray's, for the log it records.
std::string totalsCachePath(const std::string& cacheFolder);
// The cache for another log, by its path: "<cacheFolder>/tesuko/totals-<hash>.cache".
std::string totalsCachePath(const std::string& cacheFolder, const std::string& logPath);

}  // namespace tesuko
