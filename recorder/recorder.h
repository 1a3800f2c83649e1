// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/log_location.h"
#include "log/switch_record.h"
#include "platform/input_monitors.h"
#include "platform/platform.h"
#include "recorder/checkpoint_store.h"
#include "recorder/log_appender.h"
#include "recorder/login_item_registration.h"
#include "settings/privacy_rules.h"
#include "settings/setting.h"

namespace tesuko {

// The login screen, by the name the log format has always given it: its time
// without a window of its own is no one's and is not written. No desktop here
// names an application so; a backend that reports its greeter by this name
// gets the same treatment.
inline constexpr std::string_view kLoginScreen = "loginwindow";

// Turns application switches and counted input into records at the end of the
// activity log, and holds where that log is. Everything runs on the main loop.
class Recorder {
  public:
    // Creating the recorder decides where the log is and prepares it once.
    // What to do with an interval in progress that a killed run left saved:
    // write it, or leave it to whichever run may still own it.
    enum class Checkpoints { recover, leave };
    explicit Recorder(Platform& platform, Checkpoints checkpoints = Checkpoints::recover);
    ~Recorder();

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

    // Lets the user pick another log file: the reader and the tooltip follow at
    // once, the records from the next preparation on.
    void changeSaveAs();
    // Sharing on: the user picks a folder that a synchroniser keeps in sync;
    // off: the local log again. Either from the next preparation on.
    void toggleSharing();
    bool isSharing() const { return location_.shared; }

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
    bool enableLoginItem() { return addLoginItem(platform_.loginItems, platform_.systemLog); }
    bool isEnableLoginItem() { return isLoginItem(platform_.loginItems); }

    // State, for the front end and tests.
    const LogLocation& logLocation() const { return location_; }
    // The held path: a chosen file's folder alone until the next preparation,
    // which makes the file if need be.
    std::string filePath() const { return awaitingFileName_ ? location_.folder : location_.path(); }
    // The chosen file's name; empty at the default location.
    std::string saveFileName() const { return location_.isDefault ? "" : location_.fileName; }
    const std::optional<std::string>& heldApplicationName() const { return deactiveJapanAppName_; }
    std::int32_t clickCount() const { return clickCount_; }
    std::int32_t keyDownCount() const { return keyDownCount_; }
    State state() const { return state_; }
    bool isRun() const { return state_ != State::stopped; }
    // What writes the records: its own appends and write problem are the
    // reader's and the tooltip's.
    LogAppender& appender() { return appender_; }
    const std::optional<LogProblem>& writeProblem() const { return appender_.writeProblem(); }

  private:
    struct Instant {
        std::chrono::system_clock::time_point wall;
        std::chrono::steady_clock::time_point monotonic;
    };

    void prepare();
    void loadPrivacy();
    // The application, unless the user keeps its time out of the log.
    std::optional<std::string> tracked(std::optional<std::string> application) const;
    // The record of the interval in progress up to `cut`, if it began before.
    std::optional<std::string> recordBefore(std::chrono::steady_clock::time_point cut);

    enum class Tracing { on, off };

    // Writes the interval's record when it has one and begins the next, of
    // `next`, at `end`; `deactivated` is the application a switch left, whose
    // windows also name the interval.
    void endInterval(const Instant& end, std::optional<std::string> next,
                     const std::optional<std::string>& deactivated = std::nullopt);
    void beginInterval(const Instant& start, std::optional<std::string> application);
    // The record of the interval if it ended at `end`; nullopt when it writes none.
    std::optional<std::string> intervalRecord(const Instant& end,
                                              const std::optional<std::string>& deactivated,
                                              Tracing tracing);
    // The held application's interval up to `end`, its name for a title.
    SwitchRecord heldRecord(std::chrono::steady_clock::time_point end);
    // The title of the held (or the deactivated) application's front-most
    // window with a usable title.
    std::optional<std::string> frontTitle(const std::optional<std::string>& deactivated);
    Instant now();
    // A moment of the interval in progress, no earlier than its start and no
    // later than now, with the wall-clock time that went with it.
    Instant instantAt(std::chrono::steady_clock::time_point monotonic);

    Platform& platform_;
    LogLocation location_;
    bool awaitingFileName_;
    LogAppender appender_;
    CheckpointStore checkpoints_;
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
};

}  // namespace tesuko
