// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/log_scanner.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "log/record_fields.h"
#include "ranking/line_splitter.h"
#include "ranking/rank_order.h"
#include "ranking/seconds_text.h"

namespace tesuko {

LogScanner::LogScanner(SystemLog& systemLog, std::size_t chunkSize, std::size_t longestLine)
    : LogScanner(systemLog, LocalDays(), chunkSize, longestLine) {}

LogScanner::LogScanner(SystemLog& systemLog, LocalDays localDays, std::size_t chunkSize,
                       std::size_t longestLine)
    : systemLog_(systemLog),
      localDays_(std::move(localDays)),
      chunkSize_(std::max<std::size_t>(chunkSize, 1)),
      longestLine_(std::max({longestLine, chunkSize_, ReadPosition::kCheckedBytes})) {
    state_.zone = localDays_.zone();
}

bool LogScanner::resume(ScanState state) {
    if (state.zone != localDays_.zone()) {
        return false;
    }
    state_ = std::move(state);
    vouchedFrom_.reset();
    return true;
}

std::optional<std::string> LogScanner::scan(FileSystem& fileSystem, const std::string& path,
                                            const std::optional<OwnAppends>& ownAppends,
                                            std::uint64_t slice) {
    Opened<FileReader> opened = fileSystem.openForReading(path);
    if (!opened.file) {
        return fail(faultText(opened.error));
    }
    FileReader& reader = *opened.file;
    FileIdentity file = reader.identity();
    if (!stillCounted(path, file, ownAppends)) {
        startOver(path);
    }
    if (ownAppends && ownAppends->to == file) {
        vouchedFrom_ = ownAppends->from;
    } else {
        vouchedFrom_.reset();
    }
    state_.position.file = file;
    if (caughtUp_) {
        forgetSkippedLines();  // each pass over what was added says what it skipped
    }
    std::size_t unfinishedSize = 0;
    ReadResult result = readAppended(reader, unfinishedSize, slice);
    if (result == ReadResult::changedBefore) {
        startOver(path);
        state_.position.file = file;
        result = readAppended(reader, unfinishedSize, slice);
    }
    if (result == ReadResult::failed) {
        // Unlike a missing log, which is normal before the first record, this
        // is worth a line: the ranking stays empty until the file reads again.
        systemLog_.error("Could not read the activity log " + path +
                         " to its end; the ranking is empty until it can be read.");
        return fail("the file could not be read to its end");
    }
    caughtUp_ = result == ReadResult::complete;
    if (!caughtUp_) {
        return std::nullopt;
    }
    reportSkippedLines(path);
    rank({buffer_.data(), unfinishedSize});
    if (buffer_.size() > chunkSize_ + NameIndex::kReadAhead) {
        buffer_ = {};  // a long line's room is not kept until the next menu
    }
    return std::nullopt;
}

std::optional<std::string> LogScanner::fail(std::string reason) {
    startOver({});
    caughtUp_ = true;  // nothing more to read until the next scan
    ranks_.clear();
    return reason;
}

// Each append changes the times, so new times with a larger size are records
// only when the recorder wrote all that changed since the position was counted;
// the bytes before the position are checked all the same.
bool LogScanner::stillCounted(const std::string& path, const FileIdentity& file,
                              const std::optional<OwnAppends>& ownAppends) const {
    const ReadPosition& at = state_.position;
    if (path != at.path || !file.sameFile(at.file) || file.size < at.offset) {
        return false;
    }
    bool touched = file.modified != at.file.modified || file.changed != at.file.changed;
    bool vouched = ownAppends && ownAppends->to == file &&
                   (ownAppends->from == at.file || vouchedFrom_ == ownAppends->from);
    return !touched || (vouched && file.size > at.file.size);
}

void LogScanner::startOver(const std::string& path) {
    forgetSkippedLines();
    state_ = ScanState{};
    state_.zone = localDays_.zone();
    state_.position.path = path;
}

// Reading starts kCheckedBytes early, so that the check of the bytes before
// the position and the appended bytes take one read: a menu opening after a
// few records costs a handful of system calls.
LogScanner::ReadResult LogScanner::readAppended(FileReader& reader, std::size_t& unfinishedSize,
                                                std::uint64_t slice) {
    // The slack past the bytes read lets the name lookup read whole words.
    constexpr std::size_t kSlack = NameIndex::kReadAhead;
    if (buffer_.size() != chunkSize_ + kSlack) {
        buffer_.assign(chunkSize_ + kSlack, '\0');
        buffer_.shrink_to_fit();
    }
    const ReadPosition& at = state_.position;
    std::size_t unchecked = at.lastBytes.size();
    std::uint64_t readOffset = at.offset - unchecked;
    // What the file held when it was opened; an identity of zeros is unknown.
    std::uint64_t end = at.file.inode == 0 && at.file.device == 0
                            ? std::numeric_limits<std::uint64_t>::max()
                            : at.file.size;
    const std::uint64_t sliceEnd = readOffset + std::min(slice, end - std::min(end, readOffset));
    const std::uint64_t startedAt = at.offset;
    std::size_t carried = 0;
    while (readOffset < end) {
        // After a line at least, so that every part gets on; the line begun
        // is read whole next time.
        if (readOffset >= sliceEnd && at.offset > startedAt) {
            return ReadResult::partial;
        }
        std::size_t capacity = buffer_.size() - kSlack;
        if (carried == capacity && capacity == longestLine_) {
            SkipResult skip = skipLongLine(reader, readOffset, end);
            if (skip == SkipResult::failed) {
                return ReadResult::failed;
            }
            carried = 0;
            if (skip == SkipResult::unfinished) {
                break;  // counted once it ends, like any unfinished line
            }
            continue;
        }
        if (carried == capacity) {
            capacity = std::min(capacity * 2, longestLine_);  // one line longer than a chunk
            buffer_.resize(capacity + kSlack);
        }
        auto got = reader.readAt(readOffset, {buffer_.data() + carried, capacity - carried});
        if (!got) {
            return ReadResult::failed;
        }
        if (*got == 0) {
            break;
        }
        readOffset += *got;
        std::size_t filled = carried + *got;
        std::size_t from = 0;
        if (unchecked > 0) {
            if (filled < unchecked) {
                carried = filled;
                continue;
            }
            if (std::memcmp(buffer_.data(), at.lastBytes.data(), unchecked) != 0) {
                return ReadResult::changedBefore;
            }
            from = std::exchange(unchecked, 0);
        }
        std::string_view fresh(buffer_.data() + from, filled - from);
        std::size_t counted = countCompleteLines(fresh);
        keepLastBytes(fresh.substr(0, counted));
        std::memmove(buffer_.data(), fresh.data() + counted, fresh.size() - counted);
        carried = fresh.size() - counted;
    }
    if (unchecked > 0) {
        return ReadResult::changedBefore;  // the file ended before the position
    }
    if (carried > 0 && buffer_[carried - 1] == '\r') {
        // A "\r" ends the file, and its line; a "\n" that comes after it
        // later is the rest of that line end (see countCompleteLines).
        std::size_t counted = countCompleteLines({buffer_.data(), carried}, true);
        keepLastBytes({buffer_.data(), counted});
        std::memmove(buffer_.data(), buffer_.data() + counted, carried - counted);
        carried -= counted;
    }
    unfinishedSize = carried;
    return ReadResult::complete;
}

std::size_t LogScanner::countCompleteLines(std::string_view bytes, bool fileEnds) {
    auto onRecord = [this, base = bytes.data()](const RecordFields& fields) {
        ++state_.position.lines;
        double seconds = secondsFromText(fields.seconds);
        auto application = std::uint32_t(state_.totals.addInBuffer(fields.name, seconds));
        if (auto start = starts_.read(fields.start)) {
            std::uint64_t line = state_.position.offset + std::uint64_t(fields.start.data() - base);
            state_.days.add(*start, application, seconds, line, localDays_);
        } else if (undatedRecords_++ == 0) {
            firstUndatedLine_ = state_.position.lines;
        }
    };
    auto onShortRow = [this] {
        ++state_.position.lines;
        if (damagedRows_++ == 0) {
            firstDamagedLine_ = state_.position.lines;
        }
    };
    // The "\n" of a "\r\n" whose "\r" ended the file at the last read, and
    // its line then: no line of its own.
    const std::size_t lineEndRest =
        bytes.starts_with('\n') && state_.position.lastBytes.ends_with('\r') ? 1 : 0;
    std::string_view lines = bytes.substr(lineEndRest);
    std::size_t counted = containsLoneCr(lines)
                              ? splitLinesEndedByCr(lines, fileEnds, onRecord, onShortRow)
                              : splitCompleteLines(lines, onRecord, onShortRow);
    state_.days.settle();
    return lineEndRest + counted;
}

LogScanner::SkipResult LogScanner::skipLongLine(FileReader& reader, std::uint64_t& readOffset,
                                                std::uint64_t end) {
    while (readOffset < end) {
        auto got = reader.readAt(readOffset, {buffer_.data(), chunkSize_});
        if (!got) {
            return SkipResult::failed;
        }
        if (*got == 0) {
            break;
        }
        const void* lineEnd = std::memchr(buffer_.data(), '\n', *got);
        if (lineEnd == nullptr) {
            readOffset += *got;
            continue;
        }
        readOffset += std::size_t(static_cast<const char*>(lineEnd) - buffer_.data()) + 1;
        // The check before the position needs the bytes up to the line end,
        // which may lie in the chunk before; the line is longer than them.
        ReadPosition& at = state_.position;
        const std::size_t checked = ReadPosition::kCheckedBytes;
        auto last = reader.readAt(readOffset - checked, {buffer_.data(), checked});
        if (!last || *last != checked) {
            return SkipResult::failed;
        }
        at.offset = readOffset;
        at.lastBytes.assign(buffer_.data(), checked);
        ++at.lines;
        ++longLines_;
        return SkipResult::skipped;
    }
    return SkipResult::unfinished;
}

void LogScanner::keepLastBytes(std::string_view counted) {
    ReadPosition& at = state_.position;
    at.offset += counted.size();
    if (counted.size() >= ReadPosition::kCheckedBytes) {
        at.lastBytes.assign(counted.substr(counted.size() - ReadPosition::kCheckedBytes));
        return;
    }
    at.lastBytes.append(counted);
    if (at.lastBytes.size() > ReadPosition::kCheckedBytes) {
        at.lastBytes.erase(0, at.lastBytes.size() - ReadPosition::kCheckedBytes);
    }
}

void LogScanner::forgetSkippedLines() {
    damagedRows_ = 0;
    firstDamagedLine_ = 0;
    longLines_ = 0;
    undatedRecords_ = 0;
    firstUndatedLine_ = 0;
}

void LogScanner::reportSkippedLines(const std::string& path) {
    if (damagedRows_ > 0) {
        std::string rows = damagedRows_ == 1 ? "1 row" : std::to_string(damagedRows_) + " rows";
        systemLog_.warning("Skipped " + rows + " of fewer than six fields in " + path +
                           ", the first at line " + std::to_string(firstDamagedLine_) +
                           "; the other records count.");
    }
    if (undatedRecords_ > 0) {
        std::string records = undatedRecords_ == 1 ? "1 record in " + path + " has"
                                                   : std::to_string(undatedRecords_) +
                                                         " records in " + path + " have";
        systemLog_.warning(records + " no readable start time, the first at line " +
                           std::to_string(firstUndatedLine_) +
                           "; they count in the ranking but on no day of a report.");
    }
    if (longLines_ > 0) {
        std::string lines = longLines_ == 1 ? "1 line" : std::to_string(longLines_) + " lines";
        systemLog_.warning("Skipped " + lines + " of " + std::to_string(longestLine_) +
                           " bytes or more in " + path + "; the other records count.");
    }
}

void LogScanner::rank(std::string_view unfinished) {
    ranks_ = state_.totals.applications();
    if (auto fields = recordFields(unfinished)) {
        // Counted on a copy: the line is read again once it is complete.
        double seconds = secondsFromText(fields->seconds);
        if (auto position = state_.totals.positionOf(fields->name)) {
            ranks_[*position].seconds += seconds;
        } else {
            ranks_.push_back({ApplicationTotals::nameAsText(fields->name), seconds});
        }
    }
    sortByTotal(ranks_);
}

}  // namespace tesuko
