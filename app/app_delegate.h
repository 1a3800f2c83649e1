// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/session_events.h"
#include "platform/status_menu.h"
#include "ranking/log.h"
#include "recorder/recorder.h"
#include "settings/idle_setting.h"

namespace tesuko {

// The tray program's controller: puts the icon into the tray, owns the one
// recorder and the one log reader, carries out the menu commands and keeps the
// menu items enabled, disabled and checked to match. A disabled item is one
// without a command; enabling it gives back the command it had at launch.
class AppDelegate {
  public:
    // `locale` is the ICU locale of the ranking totals; empty for the user's own.
    AppDelegate(Platform& platform, StatusMenu& statusMenu, std::string locale = {});
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Once, when the event loop is about to start. Starts recording at once
    // when the program is among the user's login items.
    void applicationDidFinishLaunching();

    // The menu commands.
    void StartRecord();
    void StopRecord();
    void SaveAs();
    void ShareWithOtherMachines();
    void OpenAtLogin();
    void PauseWhenIdle();
    void ShowReport();
    // Timed pauses: the interval in progress is written and nothing is
    // recorded until the time is up (the alarm) or Start Recording, which
    // is enabled meanwhile. Nothing keeps a pause: quitting ends it.
    void PauseFor15Minutes();
    void PauseFor1Hour();
    void PauseUntilTomorrow();  // local midnight
    // Takes the last 15 minutes out of the log, and the ranking cache with
    // them; the tooltip says why when the log could not be rewritten.
    void ForgetLast15Minutes();
    void Privacy();

    // Without knowing that no other run records, the interval a killed run
    // saved may be another's in progress: it is left where it is.
    void leaveCheckpoints() { checkpoints_ = Recorder::Checkpoints::leave; }
    // Every timed pause lasts this long instead: for tests that cannot wait.
    void setPauseLength(std::chrono::seconds length) { pauseLength_ = length; }
    // What the desktop backend needs the user to know, shown in the tooltip.
    void setDesktopNotice(std::optional<DesktopNotice> notice);
    // What is wrong with the rules file, shown in the tooltip.
    void setRulesTrouble(std::optional<RulesTrouble> trouble);

    // What "Show Report…" opens; the front end's.
    void onShowReport(std::function<void()> handler) { showReport_ = std::move(handler); }

    // Each time the menu opens: re-reads the log and retitles the ranking rows.
    void showStatus();
    void updateShowLog();

    // The session is about to end and may still be cancelled: the interval so
    // far goes into the log and recording, if on, goes on with a new one.
    void writeIntervalInProgress();
    // The program is about to exit: the interval in progress goes into the log.
    void applicationWillTerminate();

    // The screen locked, the session switched away or the machine asleep:
    // recording pauses until the user is back. Once, after launch.
    void followSession(SessionEvents& events);
    // No input for the idle threshold: recording pauses from the last input
    // until the next (`at` each), when the user asked for that.
    void idleChanged(bool idle, std::chrono::steady_clock::time_point at);

    // Only after launch.
    Recorder& recorder() { return *recorder_; }
    Log& log() { return *log_; }

  private:
    void dispatch(MenuCommand command);
    void showRecordingState();
    // Watches for an idle desk while recording with "Pause When Idle" on.
    void followIdle();
    bool away() const { return locked_ || asleep_ || idle_ || pausedUntil_; }
    void setAway(bool& reason, bool value,
                 std::optional<std::chrono::steady_clock::time_point> at = std::nullopt);
    void pauseFor(std::chrono::seconds length);
    void pauseUntil(std::chrono::system_clock::time_point end);
    void endTimedPause();
    // Start Recording ends a timed pause early: it is enabled meanwhile.
    void offerStartRecord(bool offered);
    void enablePauseItems(bool enabled);
    RecordingState state() const;
    PausedUntil pauseEnd(std::chrono::system_clock::time_point end) const;

    Platform& platform_;
    StatusMenu& statusMenu_;
    std::string locale_;

    // The commands the items send when enabled: an item without one is disabled.
    std::optional<MenuCommand> startRecordCommand_;
    std::optional<MenuCommand> stopRecordCommand_;
    std::optional<MenuCommand> saveAsCommand_;
    std::optional<MenuCommand> shareCommand_;
    std::array<std::pair<MenuItem, std::optional<MenuCommand>>, 3> pauseCommands_{};
    std::optional<Recorder> recorder_;
    Recorder::Checkpoints checkpoints_ = Recorder::Checkpoints::recover;
    std::optional<Log> log_;
    std::optional<IdleSetting> idleSetting_;
    std::function<void()> showReport_;
    bool locked_ = false;
    bool asleep_ = false;
    bool idle_ = false;
    std::optional<std::chrono::system_clock::time_point> pausedUntil_;
    std::optional<std::chrono::seconds> pauseLength_;
    std::optional<DesktopNotice> desktopNotice_;
    std::optional<RulesTrouble> rulesTrouble_;
    std::optional<LogProblem> forgetProblem_;
};

}  // namespace tesuko
