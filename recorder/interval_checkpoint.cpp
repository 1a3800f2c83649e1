// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "recorder/checkpoint.h"
#include "recorder/recorder.h"

namespace tesuko {

namespace {

// Records never come near this: titles are cut at 16 KiB.
constexpr std::size_t kLargestCheckpoint = 64 * 1024;

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
    if (state_ != State::recording || !filePath_) {
        return;
    }
    std::optional<std::string> record = intervalRecord(now(), std::nullopt, Tracing::off);
    if (!record) {
        removeCheckpoint();
        return;
    }
    FileError error =
        platform_.fileSystem.replaceFile(checkpointPath(), encodeCheckpoint({*filePath_, *record}),
                                         FileSystem::Access::privateToUser);
    // Once a minute: say so when it starts failing, not every time.
    if (error && !checkpointFailing_) {
        platform_.systemLog.warning("Could not save the interval in progress to " +
                                    checkpointPath() + ": " + *error + "; a crash would lose it.");
    }
    checkpointFailing_ = error.has_value();
}

void Recorder::removeCheckpoint() {
    if (FileError error = platform_.fileSystem.removeFile(checkpointPath())) {
        platform_.systemLog.warning("Could not remove " + checkpointPath() + ": " + *error);
    }
}

// Only one tesuko runs per user, so a checkpoint found at start was left by
// one that is gone without writing its interval.
void Recorder::recoverCheckpoint() {
    FileSystem& fs = platform_.fileSystem;
    const std::string path = checkpointPath();
    FileContents saved = fs.readSmallFile(path, kLargestCheckpoint);
    if (!saved.bytes) {
        if (fs.exists(path)) {
            platform_.systemLog.warning("Could not read " + path + ": " + saved.error);
        }
        return;
    }
    std::optional<Checkpoint> checkpoint = decodeCheckpoint(*saved.bytes);
    if (!checkpoint) {
        platform_.systemLog.warning("Ignored the damaged " + path);
        removeCheckpoint();
        return;
    }
    if (!sameInterval(lastLineOf(fs, checkpoint->logPath), checkpoint->record)) {
        Opened<FileWriter> log =
            fs.exists(checkpoint->logPath)
                ? fs.openForWriting(checkpoint->logPath, FileSystem::Links::follow)
                : fs.createForWriting(checkpoint->logPath);
        FileError error = log.file ? endLastLine(*log.file) : FileError(log.error);
        if (!error) {
            error = log.file->write(checkpoint->record);
        }
        if (error) {
            // Kept for the next start: the interval is not lost yet.
            platform_.systemLog.error("Could not write the interval a crash interrupted to " +
                                      checkpoint->logPath + ": " + *error);
            return;
        }
        platform_.systemLog.info("Wrote the interval that an abrupt end interrupted to " +
                                 checkpoint->logPath);
    }
    removeCheckpoint();
}

}  // namespace tesuko
