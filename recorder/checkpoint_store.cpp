// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/checkpoint_store.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <tuple>

#include "log/record_fields.h"
#include "log/switch_record.h"

namespace tesuko {

namespace {

constexpr std::string_view kFormat = "tesuko-checkpoint-2\n";
constexpr std::string_view kFirstFormat = "tesuko-checkpoint-1\n";

// The start and application fields, with the comma after them; empty for a
// line that is no record.
std::string_view intervalKey(std::string_view line) {
    const std::optional<RecordFields> fields = recordFields(line);
    return fields ? line.substr(0, std::size_t(fields->title.data() - line.data()))
                  : std::string_view{};
}

// The decimal number at the front of `bytes` and the `end` after it, taken off.
std::optional<std::uint64_t> takeNumber(std::string_view& bytes, char end) {
    std::uint64_t number = 0;
    auto [stop, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), number);
    if (error != std::errc{} || stop == bytes.data() + bytes.size() || *stop != end) {
        return std::nullopt;
    }
    bytes.remove_prefix(std::size_t(stop - bytes.data()) + 1);
    return number;
}

std::optional<LocalTime> startOf(std::string_view line) {
    const std::optional<RecordFields> fields = recordFields(line);
    return fields ? parseStartTime(fields->start) : std::nullopt;
}

// Records never come near this: titles are cut at 16 KiB.
constexpr std::size_t kLargestCheckpoint = 64 * 1024;
// Checkpoints set aside are kept for the user, but not without end.
constexpr int kMostSetAside = 100;

// The last complete line of the file, without its line feed; empty when none.
std::string lastLineOf(FileSystem& fs, const std::string& path) {
    Opened<FileReader> opened = fs.openForReading(path);
    if (!opened.file) {
        return {};
    }
    std::uint64_t size = opened.file->identity().size;
    std::string tail(std::min<std::uint64_t>(size, kLargestCheckpoint), '\0');
    auto got = opened.file->readAt(size - tail.size(), tail);
    tail.resize(got.value_or(0));
    if (tail.empty() || tail.back() != '\n') {
        return {};
    }
    tail.pop_back();
    return tail.substr(tail.rfind('\n') + 1);  // npos + 1 is 0: the whole tail
}

// True when `lastLine` is the record of the same interval as `record`: same
// start and application. A kill between writing a record and replacing the
// checkpoint must not write the interval twice.
bool sameInterval(std::string_view lastLine, std::string_view record) {
    std::string_view key = intervalKey(record);
    return !key.empty() && intervalKey(lastLine) == key;
}

// True when both lines are records and `record` starts before `lastLine`:
// written after it, it would stand out of order.
bool startsBefore(std::string_view record, std::string_view lastLine) {
    auto fields = [](const LocalTime& t) {
        return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
    };
    std::optional<LocalTime> start = startOf(record);
    std::optional<LocalTime> last = startOf(lastLine);
    return start && last && fields(*start) < fields(*last);
}

}  // namespace

// The path goes after its length, since a path may hold any byte.
std::string encodeCheckpoint(const Checkpoint& checkpoint) {
    const FileIdentity log = checkpoint.logFile.value_or(FileIdentity{});
    return std::string(kFormat) + std::to_string(log.device) + " " + std::to_string(log.inode) +
           "\n" + std::to_string(checkpoint.logPath.size()) + "\n" + checkpoint.logPath +
           checkpoint.record;
}

std::optional<Checkpoint> decodeCheckpoint(std::string_view bytes) {
    Checkpoint checkpoint;
    if (bytes.starts_with(kFormat)) {
        bytes.remove_prefix(kFormat.size());
        std::optional<std::uint64_t> device = takeNumber(bytes, ' ');
        std::optional<std::uint64_t> inode = device ? takeNumber(bytes, '\n') : std::nullopt;
        if (!inode) {
            return std::nullopt;
        }
        checkpoint.logFile = FileIdentity{*device, *inode};
    } else if (bytes.starts_with(kFirstFormat)) {
        bytes.remove_prefix(kFirstFormat.size());
    } else {
        return std::nullopt;
    }
    std::optional<std::uint64_t> pathSize = takeNumber(bytes, '\n');
    if (!pathSize || *pathSize == 0 || *pathSize > bytes.size()) {
        return std::nullopt;
    }
    std::string_view record = bytes.substr(*pathSize);
    if (record.empty() || record.find('\n') != record.size() - 1 || intervalKey(record).empty()) {
        return std::nullopt;
    }
    checkpoint.logPath = bytes.substr(0, *pathSize);
    checkpoint.record = record;
    return checkpoint;
}

CheckpointStore::CheckpointStore(FileSystem& fileSystem, SystemLog& systemLog,
                                 HomeFolder& homeFolder)
    : fileSystem_(fileSystem),
      systemLog_(systemLog),
      path_(homeFolder.stateFolder() + "/tesuko/interval.checkpoint") {}

void CheckpointStore::save(const Checkpoint& checkpoint) {
    FileError error = fileSystem_.replaceFile(path_, encodeCheckpoint(checkpoint),
                                              FileSystem::Access::privateToUser);
    if (error && !failing_) {
        systemLog_.warning("Could not save the interval in progress to " + path_ + ": " +
                           faultText(*error) + "; a crash would lose it.");
    }
    failing_ = error.has_value();
}

void CheckpointStore::remove() {
    if (FileError error = fileSystem_.removeFile(path_)) {
        systemLog_.warning("Could not remove " + path_ + ": " + faultText(*error));
    }
}

// Only one tesuko runs per user, so a checkpoint found at start was left by
// one that is gone without writing its interval. It goes into the log in use
// only when that is the very file it was saved for, and only after the records
// there: anything else is kept beside it for the user to look at.
void CheckpointStore::recover(LogAppender& log, const std::string& logPath) {
    FileContents saved = fileSystem_.readSmallFile(path_, kLargestCheckpoint);
    if (!saved.bytes) {
        if (fileSystem_.exists(path_)) {
            systemLog_.warning("Could not read " + path_ + ": " + faultText(saved.error));
        }
        return;
    }
    std::optional<Checkpoint> checkpoint = decodeCheckpoint(*saved.bytes);
    if (!checkpoint) {
        systemLog_.warning("Ignored the damaged " + path_);
        remove();
        return;
    }
    const std::optional<FileIdentity> file = log.openFile();
    if (!file && fileSystem_.exists(logPath)) {
        // Kept for the next start: the interval is not lost yet.
        systemLog_.error("Could not write the interval a crash interrupted to " + logPath +
                         ": the log is not open");
        return;
    }
    const bool itsLog = file && (checkpoint->logFile ? file->sameFile(*checkpoint->logFile)
                                                     : checkpoint->logPath == logPath);
    if (!itsLog) {
        setAside(*saved.bytes,
                 "it was saved for " + checkpoint->logPath + ", which is not the log in use now");
        return;
    }
    const std::string lastLine = lastLineOf(fileSystem_, logPath);
    if (!sameInterval(lastLine, checkpoint->record)) {
        if (startsBefore(checkpoint->record, lastLine)) {
            setAside(*saved.bytes, "it is older than the last record of " + logPath);
            return;
        }
        if (FileError error = log.write(checkpoint->record)) {
            systemLog_.error("Could not write the interval a crash interrupted to " + logPath +
                             ": " + faultText(*error));
            return;
        }
        systemLog_.info("Wrote the interval that an abrupt end interrupted to " + logPath);
    }
    remove();
}

void CheckpointStore::setAside(const std::string& bytes, const std::string& why) {
    for (int number = 1; number <= kMostSetAside; ++number) {
        const std::string aside = path_ + ".aside-" + std::to_string(number);
        if (fileSystem_.exists(aside)) {
            continue;
        }
        if (FileError error =
                fileSystem_.replaceFile(aside, bytes, FileSystem::Access::privateToUser)) {
            systemLog_.error("Could not set aside " + path_ + ": " + faultText(*error));
            return;
        }
        systemLog_.warning("Did not write the interval in " + path_ + ": " + why + ". Kept it as " +
                           aside);
        remove();
        return;
    }
    systemLog_.error("Left " + path_ + " unwritten: " + why + ", and there are already " +
                     std::to_string(kMostSetAside) + " checkpoints set aside");
}

}  // namespace tesuko
