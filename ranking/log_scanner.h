// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/own_appends.h"
#include "platform/file_system.h"
#include "platform/system_log.h"
#include "ranking/application_totals.h"
#include "ranking/daily_totals.h"
#include "ranking/local_days.h"
#include "ranking/rank_list.h"

namespace tesuko {

// How far a log has been counted, and enough to tell whether the file there
// is still the one that was counted.
struct ReadPosition {
    static constexpr std::size_t kCheckedBytes = 64;

    std::string path;
    FileIdentity file;
    std::uint64_t offset = 0;  // just after the last complete line counted
    std::uint64_t lines = 0;   // complete lines before offset
    std::string lastBytes;     // up to kCheckedBytes bytes just before offset
    // A digest of the first and last 64 KiB before offset as a cache last
    // saved the position (see CachedScanner), not kept up as the position
    // moves; 0 when none was taken.
    std::uint64_t sample = 0;

    bool operator==(const ReadPosition&) const = default;
};

// The totals of the complete lines before the position.
struct ScanState {
    ReadPosition position;
    ApplicationTotals totals;
    // The same seconds per local day, split in this zone (an ICU id).
    DailyTotals days;
    std::string zone;
};

// Counts an activity log. The log is only ever appended to, so each scan reads
// only the bytes added since the last one; it reads the whole file again when
// the path leads to another file, the file shrank, the bytes just before the
// position changed, or the file's times changed other than by the recorder's
// own appends (an edit in place, by hand or by another program). An
// unfinished last line is counted on a copy and read again next time. The
// file is read in fixed-size chunks, so memory does not grow with the log; a
// line is held whole only up to longestLine bytes. A line ends at "\n", or at
// a "\r" that no "\n" follows: the recorder never writes one, but a log
// converted to old Mac line ends would otherwise read as one line.
class LogScanner {
  public:
    static constexpr std::size_t kDefaultChunkSize = 256 * 1024;
    // Far beyond any record written here (titles are cut at 16 KiB), far below
    // what would strain memory: a longer line is no record but a wrong or
    // damaged file, and is skipped.
    static constexpr std::size_t kDefaultLongestLine = 16 * 1024 * 1024;
    static constexpr std::uint64_t kWholeFile = UINT64_MAX;

    // A line of longestLine bytes or more before its end is skipped; a chunk
    // larger than that raises the limit to its own size.
    explicit LogScanner(SystemLog& systemLog, std::size_t chunkSize = kDefaultChunkSize,
                        std::size_t longestLine = kDefaultLongestLine);
    // Days in the given zone rather than the host's.
    LogScanner(SystemLog& systemLog, LocalDays localDays, std::size_t chunkSize = kDefaultChunkSize,
               std::size_t longestLine = kDefaultLongestLine);

    // Brings the ranking up to date with the file at path. When the file cannot
    // be read, the ranking is empty and the reason is returned. Growth since
    // the last scan counts as appended records only when ownAppends vouches
    // for every change of the file since.
    std::optional<std::string> scan(FileSystem& fileSystem, const std::string& path,
                                    const std::optional<OwnAppends>& ownAppends = std::nullopt,
                                    std::uint64_t slice = kWholeFile);
    // Whether the last scan read all the file held: a scan given a slice
    // stops after about that many bytes, and the next goes on from there.
    // Ranks, and the lines a pass skipped, are told only once caught up.
    bool caughtUp() const { return caughtUp_; }

    // The ranking of the last scan; empty before the first.
    const RankList& ranks() const { return ranks_; }

    // What a later run can resume from (see resume), and what a report sums.
    const ScanState& state() const { return state_; }
    // Takes up counting where an earlier run stopped; the next scan still
    // checks that the file is the one counted, and starts over if not. A state
    // whose days were split in another zone is not taken up: false.
    bool resume(ScanState state);

    const LocalDays& localDays() const { return localDays_; }

    // Notes the digest of the bytes before the position (ReadPosition::sample).
    void setSample(std::uint64_t sample) { state_.position.sample = sample; }

  private:
    enum class ReadResult { complete, partial, changedBefore, failed };
    enum class SkipResult { skipped, unfinished, failed };

    std::optional<std::string> fail(std::string reason);
    // Whether the counted totals still hold for the file now at path, so that
    // only what follows the position needs reading.
    bool stillCounted(const std::string& path, const FileIdentity& file,
                      const std::optional<OwnAppends>& ownAppends) const;
    void startOver(const std::string& path);
    // Counts the complete lines from the position up to the size the file had
    // when opened; the unfinished last line is left at the start of the
    // buffer, its length in unfinishedSize.
    ReadResult readAppended(FileReader& reader, std::size_t& unfinishedSize, std::uint64_t slice);
    // Counts the lines that end in bytes; a "\r" last in them ends one when
    // the file ends there.
    std::size_t countCompleteLines(std::string_view bytes, bool fileEnds = false);
    // Reads on from readOffset, inside a line too long to hold, to its end.
    SkipResult skipLongLine(FileReader& reader, std::uint64_t& readOffset, std::uint64_t end);
    void keepLastBytes(std::string_view counted);
    void reportSkippedLines(const std::string& path);
    void forgetSkippedLines();
    void rank(std::string_view unfinished);

    SystemLog& systemLog_;
    LocalDays localDays_;
    std::size_t chunkSize_;
    std::size_t longestLine_;
    std::vector<char> buffer_;
    ScanState state_;
    // Where the run of the recorder's appends began that the position was
    // last seen to lie in.
    std::optional<FileIdentity> vouchedFrom_;
    RankList ranks_;
    bool caughtUp_ = true;
    // Rows of fewer than six fields among the lines this scan counted.
    std::uint64_t damagedRows_ = 0;
    std::uint64_t firstDamagedLine_ = 0;
    std::uint64_t longLines_ = 0;
    WallStartReader starts_;
    // Records whose start time cannot be read: in the ranking, in no day.
    std::uint64_t undatedRecords_ = 0;
    std::uint64_t firstUndatedLine_ = 0;
};

}  // namespace tesuko
