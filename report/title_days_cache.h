// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "categories/classifier.h"
#include "platform/file_system.h"
#include "platform/system_log.h"
#include "report/title_days.h"

namespace tesuko {

// A log's windows per day and what the rules made of each window, so that a
// report by the rules reads neither the log nor, while the rules file keeps
// its bytes, runs any pattern again.
struct ClassifiedTitles {
    TitleDays days;
    std::uint64_t rulesDigest = 0;        // of the rules file the classes follow
    std::vector<Classification> classes;  // of the first pairs; none kept when empty
};

// The stored form, ending in a checksum; nullopt for bytes that are damaged,
// of another version or not consistent.
std::string encodeClassifiedTitles(const ClassifiedTitles& titles);
std::optional<ClassifiedTitles> decodeClassifiedTitles(std::string_view bytes);

// The windows of one log between runs, in one private file replaced whole. It
// is taken up only when the log still reads the same before the position it
// holds, as the totals cache is; whatever is wrong with it means reading the
// log again, said in one warning.
class TitleDaysCache {
  public:
    TitleDaysCache(FileSystem& fileSystem, SystemLog& systemLog, std::string path)
        : fileSystem_(fileSystem), systemLog_(systemLog), path_(std::move(path)) {}

    // Brings the log's windows up to what the ranking counted and classifies
    // them, from what the cache holds; saves what changed. Returns why the
    // log could not be read, if it could not.
    std::optional<std::string> update(const ScanState& counted, const LocalDays& localDays,
                                      Classifier& classifier, std::uint64_t rulesDigest,
                                      ClassifiedTitles& titles);

  private:
    std::optional<ClassifiedTitles> load();
    void save(ClassifiedTitles& titles);
    void warnOnce(const std::string& text);

    FileSystem& fileSystem_;
    SystemLog& systemLog_;
    std::string path_;
    bool warned_ = false;
};

// The windows' cache beside a totals cache: ".../titles<rest>" for ".../totals<rest>".
std::string titleDaysCachePath(const std::string& totalsCachePath);

// Removes both caches of a log, after Forget: they would go on naming what is
// gone. One line for each that could not be removed, and why.
std::vector<std::string> removeLogCaches(FileSystem& fileSystem,
                                         const std::string& totalsCachePath);

}  // namespace tesuko
