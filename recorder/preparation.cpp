// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "recorder/recorder.h"

namespace tesuko {

namespace {

std::string parentFolder(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

}  // namespace

FileError endLastLine(FileWriter& file) {
    if (auto last = file.lastByte(); last && *last != '\n') {
        return file.write("\n");
    }
    return std::nullopt;
}

// The log's location is decided here, once a run; only Save Log As… changes
// it. A file chosen in an earlier run is made by the first start, like one
// chosen now: creating the recorder makes only its folder. A checkpoint is
// recovered only into the log in use.
Recorder::Recorder(Platform& platform, Checkpoints checkpoints)
    : platform_(platform),
      location_(
          logLocationFromSettings(platform.userDefaults, platform.systemLog, platform.homeFolder)),
      awaitingFileName_(!location_.isDefault) {
    if (awaitingFileName_) {
        if (FileError error = platform_.fileSystem.createDirectories(location_.folder)) {
            platform_.systemLog.error("Could not create the folder " + location_.folder + ": " +
                                      faultText(*error));
        }
    }
    prepare();
    if (checkpoints == Checkpoints::recover) {
        recoverCheckpoint();
    }
}

Recorder::~Recorder() {
    // Nothing may call back into a recorder that is gone.
    if (isRun()) {
        stop();
    }
    if (!unwritten_.empty() || droppedRecords_ > 0) {
        platform_.systemLog.error("Lost " + std::to_string(unwritten_.size() + droppedRecords_) +
                                  " records that could not be written to " + filePath());
    }
}

Recorder& Recorder::init() {
    awaitingFileName_ = false;
    prepare();
    return *this;
}

void Recorder::prepare() {
    setting_.emplace(platform_.userDefaults, platform_.systemLog);
    loadPrivacy();
    state_ = State::stopped;

    FileSystem& fs = platform_.fileSystem;
    const std::string path = location_.path();
    // A link there now is the user's own choice, which every later opening
    // follows; a link that appears later is not.
    chosenLink_ = fs.isLink(path);
    // A rewrite of the log killed midway left its new file beside it; one
    // younger than an hour may still be being written.
    fs.removeStaleTemporaries(parentFolder(path), std::chrono::hours(1));
    openLog(FileSystem::Links::follow);

    // The interval that starts now belongs to the application in front now, so
    // the first switch after a start already has something to write.
    deactiveJapanAppName_ = tracked(platform_.workspace.activeApplication());
    startDate_ = now();
}

// The log or its folder may be gone since the last start: recording goes on
// where the user chose. Only the user's own choice is followed through a
// link; a log created again is always a new file of our own.
void Recorder::openLog(FileSystem::Links links) {
    const std::string path = location_.path();
    fileHandle_.reset();
    if (awaitingFileName_) {
        return;  // the next preparation opens the log
    }
    FileSystem& fs = platform_.fileSystem;
    Opened<FileWriter> opened;
    if (fs.exists(path)) {
        opened = fs.openForWriting(path, links);
    } else if (FileError error = fs.createDirectories(parentFolder(path))) {
        reportWriteProblem(
            LogProblem{LogProblem::Doing::creatingFolder, parentFolder(path), *error});
        return;
    } else {
        opened = fs.createForWriting(path);
    }
    if (!opened.file) {
        reportWriteProblem(LogProblem{LogProblem::Doing::openingLog, path, opened.error});
        return;
    }
    fileHandle_ = std::move(opened.file);
    FileIdentity found = fileHandle_->identity();
    if (FileError error = endLastLine(*fileHandle_)) {
        platform_.systemLog.error("Could not end the last line of " + path + ": " +
                                  faultText(*error));
    }
    // The records of this run stay known as ours while the file only grew.
    std::deque<OwnAppends::Write> writes;
    if (ownAppends_ && found.sameFile(ownAppends_->to) && found.size >= ownAppends_->to.size) {
        writes = std::move(ownAppends_->writes);
    }
    ownAppends_ = OwnAppends{found, fileHandle_->identity(), &platform_.clock, std::move(writes)};
    reportWriteProblem(std::nullopt);
}

Recorder::Instant Recorder::now() {
    return Instant{platform_.clock.wallNow(), platform_.clock.monotonicNow()};
}

Recorder::Instant Recorder::instantAt(std::chrono::steady_clock::time_point monotonic) {
    Instant current = now();
    monotonic = std::clamp(monotonic, startDate_.monotonic, current.monotonic);
    auto ago = std::chrono::duration_cast<std::chrono::system_clock::duration>(current.monotonic -
                                                                               monotonic);
    return Instant{current.wall - ago, monotonic};
}

}  // namespace tesuko
