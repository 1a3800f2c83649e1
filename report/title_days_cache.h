// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "categories/classifier.h"
#include "platform/file_system.h"
#include "platform/system_log.h"
#include "report/title_days_format.h"

namespace tesuko {

// Which days a report reads: each day of the range, or, where eachDay is
// false, only their sum per pair.
struct DaysWanted {
    DateRange range;
    bool eachDay = true;
};

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
    // log could not be read, if it could not. When the cache was up to date,
    // titles holds no more than the days wanted: then a stretch of days
    // wholly within the range may stand as one sum per pair on its first day.
    std::optional<std::string> update(const ScanState& counted, const LocalDays& localDays,
                                      Classifier& classifier, std::uint64_t rulesDigest,
                                      const DaysWanted& wanted, ClassifiedTitles& titles);

  private:
    struct Stored {
        std::unique_ptr<FileReader> file;
        TitlesHead head;
    };
    std::optional<Stored> open();
    std::optional<std::vector<PairSeconds>> readBlocks(Stored& stored, std::size_t first,
                                                       std::size_t end);
    std::optional<ClassifiedTitles> wantedOf(Stored& stored, const DaysWanted& wanted);
    void save(ClassifiedTitles& titles);
    void warnDamaged();
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
