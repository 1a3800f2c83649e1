// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "ranking/local_days.h"
#include "ranking/log_scanner.h"
#include "report/date_range.h"

namespace tesuko {

// A distinct window of the log: years of records repeat a few thousand.
struct TitlePair {
    std::string application;  // as the ranking names it
    std::string title;        // valid UTF-8
};

// A pair's seconds on one local day; plain fields, stored as they are.
struct PairSeconds {
    std::int32_t day;
    std::uint32_t pair;  // its index in TitleDays::pairs()
    double seconds;
};

// The seconds of each distinct window on each day, for the complete lines of
// a log before `position` (days in `zone`): what a report by the rules needs,
// kept up as the log grows. Ten years of 500 windows a day take 30 MB.
class TitleDays {
  public:
    ReadPosition position;
    std::string zone;

    // Counted once settle() is called.
    void add(std::int32_t day, std::string_view application, std::string_view title,
             double seconds);
    void settle();

    const std::vector<TitlePair>& pairs() const { return pairs_; }
    // By day, then pair.
    const std::vector<PairSeconds>& entries() const { return entries_; }
    std::span<const PairSeconds> within(const DateRange& range) const;

    // Back from their stored form: entries by day then pair, each of a pair
    // that is there.
    void restore(std::vector<TitlePair> pairs, std::vector<PairSeconds> entries);

  private:
    std::vector<TitlePair> pairs_;
    // application "\n" title; made when first added to, as most tables are only read
    std::unordered_map<std::string, std::uint32_t> pairIndex_;
    std::vector<PairSeconds> entries_;
    std::unordered_map<std::uint64_t, double> added_;  // by day and pair
    std::string key_;
};

// Whether a table read to `at` in `zone` holds a stretch at the start of the
// counted lines: the same file, the same zone, not past the count. (That the
// bytes before the position still read the same is for whoever kept it to
// check.)
bool continuesTo(const ReadPosition& at, std::string_view zone, const ScanState& counted,
                 const LocalDays& localDays);

// Brings days up to the lines the ranking counted: reads only the lines after
// days.position when days continues to the count; otherwise the whole log
// again. Lines the ranking skips are skipped. Returns why the log could not
// be read, if it could not.
std::optional<std::string> readTitleDays(FileSystem& fileSystem, const ScanState& counted,
                                         const LocalDays& localDays, TitleDays& days);

}  // namespace tesuko
