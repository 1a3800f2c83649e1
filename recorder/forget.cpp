// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/local_time.h"
#include "recorder/log_tail.h"
#include "recorder/recorder.h"

namespace tesuko {

namespace {

// Years of switches take some tens of megabytes; the log is rewritten in memory.
constexpr std::size_t kLargestLog = std::size_t(512) << 20;

}  // namespace

FileError Recorder::forget(std::chrono::seconds span) {
    using namespace std::chrono;
    const Instant current = now();
    const sys_seconds cut = floor<seconds>(current.wall - span);
    if (filePath_ && !filePath_->ends_with('/')) {
        const std::string& path = *filePath_;
        FileSystem& fs = platform_.fileSystem;
        std::string log;
        if (fs.exists(path)) {
            FileContents read = fs.readSmallFile(path, kLargestLog);
            if (!read.bytes) {
                return "could not read " + path + ": " + read.error;
            }
            log = std::move(*read.bytes);
            // Renaming over a link would leave the file it leads to as it
            // was: only a file of its own at the path is rewritten.
            Opened<FileWriter> own = fs.openForWriting(path, FileSystem::Links::refuse);
            if (!own.file) {
                return "could not rewrite " + path + ": " + own.error;
            }
        }
        std::string kept = logBefore(log, cut, [&](const LocalTime& start) {
            return wallTimeOf(platform_.clock, start, cut);
        });
        if (std::optional<std::string> part = recordBefore(cut)) {
            kept += kept.empty() || kept.ends_with('\n') ? "" : "\n";
            kept += *part;
        }
        if (kept != log) {
            if (FileError error = fs.replaceFile(path, kept, FileSystem::Access::asBefore)) {
                return "could not rewrite " + path + ": " + *error;
            }
            openLog(FileSystem::Links::refuse);
        }
    }
    removeCheckpoint();
    if (state_ == State::recording) {
        beginInterval(current, deactiveJapanAppName_);
    }
    return std::nullopt;
}

std::optional<std::string> Recorder::recordBefore(std::chrono::sys_seconds cut) {
    if (state_ != State::recording || !deactiveJapanAppName_ || startDate_.wall >= cut ||
        *deactiveJapanAppName_ == "loginwindow") {
        return std::nullopt;
    }
    const std::string& held = *deactiveJapanAppName_;
    const bool counted = platform_.inputMonitors.available();
    return composeRecord({platform_.clock.localTime(startDate_.wall), held, held,
                          counted ? std::optional(clickCount_) : std::nullopt,
                          counted ? std::optional(keyDownCount_) : std::nullopt,
                          std::chrono::duration<double>(cut - startDate_.wall).count()});
}

}  // namespace tesuko
