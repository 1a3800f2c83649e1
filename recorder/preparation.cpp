// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <utility>

#include "machines/machine_card.h"
#include "machines/machine_folder.h"
#include "recorder/recorder.h"
#include "recorder/save_location_chooser.h"

namespace tesuko {

// The log's location is decided here, once a run; only Save Log As… changes
// it. A file chosen in an earlier run is made by the first start, like one
// chosen now: creating the recorder makes only its folder. A checkpoint is
// recovered only into the log in use.
Recorder::Recorder(Platform& platform, Checkpoints checkpoints)
    : platform_(platform),
      location_(logLocationFromSettings(platform.userDefaults, platform.systemLog,
                                        platform.homeFolder, platform.fileSystem)),
      awaitingFileName_(!location_.isDefault),
      appender_(platform.fileSystem, platform.systemLog, platform.clock),
      checkpoints_(platform.fileSystem, platform.systemLog, platform.homeFolder) {
    prepare();
    if (checkpoints == Checkpoints::recover) {
        checkpoints_.recover(appender_, location_.path());
    }
}

Recorder::~Recorder() {
    // Nothing may call back into a recorder that is gone.
    if (isRun()) {
        stop();
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
    appender_.openAt(location_.path(),
                     awaitingFileName_ ? LogAppender::Missing::wait : LogAppender::Missing::create);
    // Other machines read this log's start times in the zone its card names.
    if (location_.shared) {
        if (FileError error =
                writeMachineCard(platform_.fileSystem, machineCardPath(location_.path()),
                                 thisMachineCard(platform_.fileSystem))) {
            platform_.systemLog.warning("Could not write this machine's card: " +
                                        faultText(*error));
        }
    }

    // The interval that starts now belongs to the application in front now, so
    // the first switch after a start already has something to write.
    deactiveJapanAppName_ = tracked(platform_.workspace.activeApplication());
    startDate_ = now();
}

// The reader and the tooltip follow the choice at once; records go to the
// chosen file from the next preparation on, which makes it if need be.
void Recorder::changeSaveAs() {
    if (std::optional<LogLocation> chosen = chooseLogLocation(platform_, *setting_)) {
        if (location_.shared) {
            setting_->setSharedFolder("");  // else the shared folder would still come first
        }
        location_ = std::move(*chosen);
        awaitingFileName_ = true;
    }
}

// The log so far is copied into the shared folder once, when this machine
// has no log there yet, and the old file stays as it was: nothing is lost,
// and the reports, which read only the shared folder then, count nothing
// twice. A log already there is this machine's from before: it goes on.
void Recorder::toggleSharing() {
    std::optional<std::string> folder;
    if (!location_.shared && !(folder = platform_.savePanel.runFolderModal())) {
        return;
    }
    setting_->setSharedFolder(folder.value_or(""));
    FileSystem& files = platform_.fileSystem;
    const LogLocation before = std::exchange(
        location_, logLocationFromSettings(platform_.userDefaults, platform_.systemLog,
                                           platform_.homeFolder, files));
    awaitingFileName_ = true;
    if (!location_.shared || files.exists(location_.path()) || !files.exists(before.path())) {
        return;
    }
    const FileContents log = files.readSmallFile(before.path(), SIZE_MAX - 1);
    FileError error = log.bytes ? files.replaceFile(location_.path(), *log.bytes,
                                                    FileSystem::Access::privateToUser)
                                : std::optional(log.error);
    if (error) {
        platform_.systemLog.error("Could not copy the log into the shared folder: " +
                                  faultText(*error) + "; recording stays in " + before.path());
        setting_->setSharedFolder("");
        location_ = before;
    }
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
