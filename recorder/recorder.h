// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "log/log_location.h"
#include "log/own_appends.h"
#include "log/switch_record.h"
#include "platform/file_system.h"
#include "platform/input_monitors.h"
#include "platform/platform.h"
#include "platform/status_menu.h"
#include "platform/workspace.h"
#include "settings/privacy_rules.h"
#include "settings/setting.h"

namespace tesuko {

// Turns application switches and counted input into records at the end of the
// activity log, and holds where that log is. Everything runs on the main loop.
// A crash or an editor may have left the file's last line unfinished: ends it,
// so that the next record is not glued to it.
FileError endLastLine(FileWriter& file);
// The problem in English, for the system log: "Could not rewrite PATH: why".
std::string logProblemText(const LogProblem& problem);

class Recorder {
  public:
    // Creating the recorder decides where the log is and prepares it once.
    // What to do with an interval in progress that a killed run left saved:
    // write it, or leave it to whichever run may still own it.
    enum class Checkpoints { recover, leave };
    explicit Recorder(Platform& platform, Checkpoints checkpoints = Checkpoints::recover);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Re-preparation: makes sure the log's folders and file exist, opens the
    // log at its end and starts a new interval.
    Recorder& init();

    // Recording is stopped (no subscription, no monitors), recording (an
    // interval is open) or paused (listening, but no interval is open: the
    // time until resume() is in no application).
    enum class State { stopped, recording, paused };

    // Recording control: subscribe to switches and count clicks and key presses.
    void run();
    // Writes the interval in progress, then stops listening.
    void stop();
    // Writes the interval in progress, ended at `at` (the last input, say)
    // or now; no interval is open until resume().
    void pause(std::optional<std::chrono::steady_clock::time_point> at = std::nullopt);
    // Opens an interval for the application in front, begun at `at` or now.
    void resume(std::optional<std::chrono::steady_clock::time_point> at = std::nullopt);
    // Writes the interval in progress and opens the next one for the same
    // application, without preparing again.
    void cutInterval();

    // Closes the current interval with a record and opens the next.
    void showActiveApplication(const ApplicationSwitch& change);

    // Saves the interval in progress, as it would be written now, so that a
    // hard kill loses only what came after. Called at every switch and by the
    // front end about once a minute.
    void saveCheckpoint();

    // Records that could not be written wait in memory, oldest first, and go
    // into the log in use before the next record, or at the next checkpoint,
    // once it can take them. Forget takes out those that began at or after `since`
    // (by the monotonic clock) and shortens the one that runs past it.
    void forgetUnwritten(std::chrono::steady_clock::time_point since);
    std::size_t unwrittenRecords() const { return unwritten_.size(); }

    // Lets the user pick another log file: the reader and the tooltip follow at
    // once, the records from the next preparation on.
    void changeSaveAs();

    // Reads the privacy lists from the settings again. An application that
    // became untracked or tracked while in front starts a new interval now.
    // (Each preparation reads them too.)
    void reloadPrivacy();
    // Takes out of the log what it holds of the last `span` of time that
    // passed (by the steady clock: setting the wall clock changes nothing),
    // and the interval in progress: the part of it before that time is
    // written with its application's name for a title, since the title in
    // front now may be what the user wants forgotten. The log is rewritten
    // whole beside itself and renamed over, with the lines other programs
    // appended meanwhile; nullopt when it worked, else why it did not, the
    // log left as it was.
    std::optional<LogProblem> forget(std::chrono::seconds span);

    // Login items. False when the program could not be added.
    bool enableLoginItem();
    bool isEnableLoginItem();

    // State, for the front end and tests.
    const LogLocation& logLocation() const { return location_; }
    // The held path: a chosen file's folder alone until the next preparation
    // creates and opens the file.
    std::string filePath() const { return awaitingFileName_ ? location_.folder : location_.path(); }
    // The chosen file's name; empty at the default location.
    std::string saveFileName() const { return location_.isDefault ? "" : location_.fileName; }
    const std::optional<std::string>& heldApplicationName() const { return deactiveJapanAppName_; }
    std::int32_t clickCount() const { return clickCount_; }
    std::int32_t keyDownCount() const { return keyDownCount_; }
    State state() const { return state_; }
    bool isRun() const { return state_ != State::stopped; }
    // The recorder's own writes to the open log since it changed otherwise;
    // nullopt before the log was first opened.
    const std::optional<OwnAppends>& ownAppends() const { return ownAppends_; }
    // Why records cannot be written at the moment, or nullopt while they can.
    const std::optional<LogProblem>& writeProblem() const { return writeProblem_; }
    void onWriteProblemChanged(std::function<void()> handler) {
        onWriteProblemChanged_ = std::move(handler);
    }

  private:
    struct Instant {
        std::chrono::system_clock::time_point wall;
        std::chrono::steady_clock::time_point monotonic;
    };

    void prepare();
    void openLog(FileSystem::Links links);
    void reportWriteProblem(std::optional<LogProblem> problem);
    void loadPrivacy();
    // The application, unless the user keeps its time out of the log.
    std::optional<std::string> tracked(std::optional<std::string> application) const;
    // The record of the interval in progress up to `cut`, if it began before.
    std::optional<std::string> recordBefore(std::chrono::steady_clock::time_point cut);

    enum class Tracing { on, off };

    // Writes the interval's record when it has one; `deactivated` is the
    // application a switch left, whose windows also name the interval.
    void endInterval(const Instant& end, const std::optional<std::string>& deactivated);
    void beginInterval(const Instant& start, std::optional<std::string> application);
    // The record of the interval if it ended at `end`; nullopt when it writes none.
    std::optional<std::string> intervalRecord(const Instant& end,
                                              const std::optional<std::string>& deactivated,
                                              Tracing tracing);
    // The title of the held (or the deactivated) application's front-most
    // window with a usable title.
    std::optional<std::string> frontTitle(const std::optional<std::string>& deactivated);
    std::string checkpointPath();
    void removeCheckpoint();
    void recoverCheckpoint();
    // Keeps the checkpoint's bytes beside it, unwritten, and says why.
    void setCheckpointAside(const std::string& bytes, const std::string& why);
    // Writes the record after those still waiting, or keeps it waiting too.
    void append(std::string record, std::chrono::steady_clock::time_point began);
    void writeUnwritten();
    Instant now();
    // A moment of the interval in progress, no earlier than its start and no
    // later than now, with the wall-clock time that went with it.
    Instant instantAt(std::chrono::steady_clock::time_point monotonic);

    Platform& platform_;
    LogLocation location_;
    bool awaitingFileName_;

    std::unique_ptr<FileWriter> fileHandle_;
    std::optional<OwnAppends> ownAppends_;
    bool chosenLink_ = false;  // the log's path was a link when recording was prepared
    std::optional<std::string> deactiveJapanAppName_;
    Instant startDate_;
    std::optional<Setting> setting_;
    PrivacyRules privacy_;
    std::optional<MonitorHandle> rightClickEvent_;
    std::optional<MonitorHandle> leftClickEvent_;
    std::optional<MonitorHandle> keyDownEvent_;
    std::int32_t clickCount_ = 0;
    std::int32_t keyDownCount_ = 0;
    State state_ = State::stopped;
    bool checkpointFailing_ = false;
    std::optional<LogProblem> writeProblem_;
    struct Unwritten {
        std::chrono::steady_clock::time_point began;
        std::string record;
    };
    std::deque<Unwritten> unwritten_;
    std::size_t unwrittenBytes_ = 0;
    std::size_t droppedRecords_ = 0;  // the oldest, since the last that was written
    std::function<void()> onWriteProblemChanged_;
};

}  // namespace tesuko
