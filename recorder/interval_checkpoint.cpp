// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "recorder/checkpoint.h"
#include "recorder/recorder.h"

namespace tesuko {

namespace {

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

}  // namespace

std::string Recorder::checkpointPath() {
    return platform_.homeFolder.stateFolder() + "/tesuko/interval.checkpoint";
}

void Recorder::saveCheckpoint() {
    writeUnwritten();  // the front end's minute is also the time to try again
    if (state_ != State::recording || !fileHandle_) {
        return;
    }
    std::optional<std::string> record = intervalRecord(now(), std::nullopt, Tracing::off);
    if (!record) {
        removeCheckpoint();
        return;
    }
    const FileIdentity log = fileHandle_->identity();
    FileError error = platform_.fileSystem.replaceFile(
        checkpointPath(),
        encodeCheckpoint({location_.path(), *record, FileIdentity{log.device, log.inode}}),
        FileSystem::Access::privateToUser);
    // Once a minute: say so when it starts failing, not every time.
    if (error && !checkpointFailing_) {
        platform_.systemLog.warning("Could not save the interval in progress to " +
                                    checkpointPath() + ": " + faultText(*error) +
                                    "; a crash would lose it.");
    }
    checkpointFailing_ = error.has_value();
}

void Recorder::removeCheckpoint() {
    if (FileError error = platform_.fileSystem.removeFile(checkpointPath())) {
        platform_.systemLog.warning("Could not remove " + checkpointPath() + ": " +
                                    faultText(*error));
    }
}

// Only one tesuko runs per user, so a checkpoint found at start was left by
// one that is gone without writing its interval. It goes into the log in use
// only when that is the very file it was saved for, and only after the records
// there: anything else is kept beside it for the user to look at.
void Recorder::recoverCheckpoint() {
    FileSystem& fs = platform_.fileSystem;
    const std::string path = checkpointPath();
    FileContents saved = fs.readSmallFile(path, kLargestCheckpoint);
    if (!saved.bytes) {
        if (fs.exists(path)) {
            platform_.systemLog.warning("Could not read " + path + ": " + faultText(saved.error));
        }
        return;
    }
    std::optional<Checkpoint> checkpoint = decodeCheckpoint(*saved.bytes);
    if (!checkpoint) {
        platform_.systemLog.warning("Ignored the damaged " + path);
        removeCheckpoint();
        return;
    }
    const std::string log = location_.path();
    Opened<FileWriter> opened;
    if (fs.exists(log)) {
        opened = fs.openForWriting(log, FileSystem::Links::follow);
        if (!opened.file) {
            // Kept for the next start: the interval is not lost yet.
            platform_.systemLog.error("Could not write the interval a crash interrupted to " + log +
                                      ": " + faultText(opened.error));
            return;
        }
    }
    const bool itsLog =
        opened.file && (checkpoint->logFile ? opened.file->identity().sameFile(*checkpoint->logFile)
                                            : checkpoint->logPath == log);
    if (!itsLog) {
        setCheckpointAside(*saved.bytes, "it was saved for " + checkpoint->logPath +
                                             ", which is not the log in use now");
        return;
    }
    const std::string lastLine = lastLineOf(fs, log);
    if (!sameInterval(lastLine, checkpoint->record)) {
        if (startsBefore(checkpoint->record, lastLine)) {
            setCheckpointAside(*saved.bytes, "it is older than the last record of " + log);
            return;
        }
        const FileIdentity before = opened.file->identity();
        FileError error = endLastLine(*opened.file);
        if (!error) {
            error = opened.file->write(checkpoint->record);
        }
        if (error) {
            platform_.systemLog.error("Could not write the interval a crash interrupted to " + log +
                                      ": " + faultText(*error));
            return;
        }
        if (fileHandle_ && fileHandle_->identity().sameFile(before)) {
            ownAppends_->add(before, opened.file->identity());
        }
        platform_.systemLog.info("Wrote the interval that an abrupt end interrupted to " + log);
    }
    removeCheckpoint();
}

void Recorder::setCheckpointAside(const std::string& bytes, const std::string& why) {
    FileSystem& fs = platform_.fileSystem;
    for (int number = 1; number <= kMostSetAside; ++number) {
        const std::string aside = checkpointPath() + ".aside-" + std::to_string(number);
        if (fs.exists(aside)) {
            continue;
        }
        if (FileError error = fs.replaceFile(aside, bytes, FileSystem::Access::privateToUser)) {
            platform_.systemLog.error("Could not set aside " + checkpointPath() + ": " +
                                      faultText(*error));
            return;
        }
        platform_.systemLog.warning("Did not write the interval in " + checkpointPath() + ": " +
                                    why + ". Kept it as " + aside);
        removeCheckpoint();
        return;
    }
    platform_.systemLog.error("Left " + checkpointPath() + " unwritten: " + why +
                              ", and there are already " + std::to_string(kMostSetAside) +
                              " checkpoints set aside");
}

}  // namespace tesuko
