// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include "ranking/totals_cache.h"

namespace tesuko {

std::optional<ScanState> FileTotalsCache::load() {
    FileContents read = fileSystem_.readSmallFile(path_, kLargest);
    if (!read.bytes) {
        // None before the first save is normal; anything else there is odd.
        if (fileSystem_.exists(path_)) {
            warnOnce("Not using the totals cache " + path_ + ": " + faultText(read.error) +
                     "; the activity log is counted whole.");
        }
        return std::nullopt;
    }
    std::optional<ScanState> state = decodeScanState(*read.bytes);
    if (!state && !isOtherScanStateVersion(*read.bytes)) {
        warnOnce("Not using the totals cache " + path_ +
                 ": it is damaged; the activity log is counted whole.");
    }
    return state;
}

void FileTotalsCache::save(const ScanState& state) {
    std::string bytes = encodeScanState(state);
    if (bytes.size() > kLargest) {
        // It would be refused when read back, on every launch.
        warnOnce("Not saving the totals cache " + path_ + ": the totals take more than " +
                 std::to_string(kLargest) + " bytes.");
        return;
    }
    if (FileError error =
            fileSystem_.replaceFile(path_, bytes, FileSystem::Access::privateToUser)) {
        warnOnce("Could not save the totals cache " + path_ + ": " + faultText(*error) +
                 "; the next launch counts the activity log whole.");
    }
}

void FileTotalsCache::warnOnce(const std::string& text) {
    if (!warned_) {
        warned_ = true;
        systemLog_.warning(text);
    }
}

std::string totalsCachePath(const std::string& cacheFolder) {
    return cacheFolder + "/tesuko/totals.cache";
}

std::string totalsCachePath(const std::string& cacheFolder, const std::string& logPath) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (char c : logPath) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char name[40];
    std::snprintf(name, sizeof name, "/tesuko/totals-%016llx.cache",
                  static_cast<unsigned long long>(hash));
    return cacheFolder + name;
}

}  // namespace tesuko
