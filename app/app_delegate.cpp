// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_delegate.h"

#include <array>
#include <utility>
#include <vector>

#include "ranking/rank_rows.h"
#include "ranking/totals_cache.h"
#include "recorder/local_time.h"
#include "report/title_days_cache.h"
#include "settings/privacy_setting.h"

namespace tesuko {

namespace {

constexpr const char* kIconName = "tesuko.png";

constexpr std::array kRankRows = {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3,
                                  MenuItem::Rank4, MenuItem::Rank5};

constexpr std::chrono::minutes kForgottenSpan{15};

std::string twoDigits(int number) {
    std::string text = std::to_string(number);
    return text.size() < 2 ? '0' + text : text;
}

}  // namespace

AppDelegate::AppDelegate(Platform& platform, StatusMenu& statusMenu, std::string locale)
    : platform_(platform), statusMenu_(statusMenu), locale_(std::move(locale)) {}

void AppDelegate::applicationDidFinishLaunching() {
    recorder_.emplace(platform_, checkpoints_);
    log_.emplace(platform_.fileSystem, platform_.systemLog,
                 [this] { return recorder_->logLocation().path(); });
    log_->takeOwnAppendsFrom([this] { return recorder_->appender().ownAppends(); });

    idleSetting_.emplace(platform_.userDefaults, platform_.systemLog);
    statusMenu_.setState(MenuItem::PauseWhenIdle, idleSetting_->pauseWhenIdle());
    if (!platform_.idleWatch.available()) {
        statusMenu_.setAction(MenuItem::PauseWhenIdle, std::nullopt);
    }

    startRecordCommand_ = statusMenu_.action(MenuItem::StartRecord);
    stopRecordCommand_ = statusMenu_.action(MenuItem::StopRecord);
    saveAsCommand_ = statusMenu_.action(MenuItem::SaveAs);
    shareCommand_ = statusMenu_.action(MenuItem::ShareWithOtherMachines);
    statusMenu_.setState(MenuItem::ShareWithOtherMachines, recorder_->isSharing());
    std::size_t next = 0;
    for (MenuItem item :
         {MenuItem::PauseFor15Minutes, MenuItem::PauseFor1Hour, MenuItem::PauseUntilTomorrow}) {
        pauseCommands_.at(next++) = {item, statusMenu_.action(item)};
    }

    if (recorder_->isEnableLoginItem()) {
        statusMenu_.setAction(MenuItem::OpenAtLogin, std::nullopt);
        StartRecord();
        statusMenu_.setState(MenuItem::OpenAtLogin, true);
    } else {
        statusMenu_.setAction(MenuItem::StopRecord, std::nullopt);
        enablePauseItems(false);
    }

    recorder_->appender().onWriteProblemChanged([this] { showRecordingState(); });
    statusMenu_.showLogPath(recorder_->logLocation().path());
    showRecordingState();
    statusMenu_.onCommand([this](MenuCommand command) { dispatch(command); });
    statusMenu_.onMenuWillOpen([this] { showStatus(); });
    // Last: a missing tray says so, and by then recording runs.
    statusMenu_.showIcon(kIconName);
}

void AppDelegate::dispatch(MenuCommand command) {
    using Handler = void (AppDelegate::*)();
    static constexpr std::pair<MenuCommand, Handler> kHandlers[] = {
        {MenuCommand::StartRecord, &AppDelegate::StartRecord},
        {MenuCommand::StopRecord, &AppDelegate::StopRecord},
        {MenuCommand::PauseFor15Minutes, &AppDelegate::PauseFor15Minutes},
        {MenuCommand::PauseFor1Hour, &AppDelegate::PauseFor1Hour},
        {MenuCommand::PauseUntilTomorrow, &AppDelegate::PauseUntilTomorrow},
        {MenuCommand::ForgetLast15Minutes, &AppDelegate::ForgetLast15Minutes},
        {MenuCommand::SaveAs, &AppDelegate::SaveAs},
        {MenuCommand::ShareWithOtherMachines, &AppDelegate::ShareWithOtherMachines},
        {MenuCommand::OpenAtLogin, &AppDelegate::OpenAtLogin},
        {MenuCommand::PauseWhenIdle, &AppDelegate::PauseWhenIdle},
        {MenuCommand::Privacy, &AppDelegate::Privacy},
        {MenuCommand::ShowReport, &AppDelegate::ShowReport},
    };
    for (const auto& [sent, handler] : kHandlers) {
        if (sent == command) {
            (this->*handler)();
        }
    }
}

void AppDelegate::StartRecord() {
    if (pausedUntil_) {
        endTimedPause();
        return;
    }
    recorder_->init();
    recorder_->run();
    if (away()) {
        recorder_->pause();
    }
    statusMenu_.setAction(MenuItem::SaveAs, std::nullopt);
    statusMenu_.setAction(MenuItem::ShareWithOtherMachines, std::nullopt);
    statusMenu_.setAction(MenuItem::StartRecord, std::nullopt);
    statusMenu_.setAction(MenuItem::StopRecord, stopRecordCommand_);
    statusMenu_.setState(MenuItem::StartRecord, true);
    enablePauseItems(true);
    followIdle();
    showRecordingState();
}

void AppDelegate::StopRecord() {
    platform_.alarm.cancel();
    pausedUntil_.reset();
    enablePauseItems(false);
    platform_.idleWatch.stop();
    idle_ = false;
    recorder_->stop();
    statusMenu_.setAction(MenuItem::SaveAs, saveAsCommand_);
    statusMenu_.setAction(MenuItem::ShareWithOtherMachines, shareCommand_);
    statusMenu_.setAction(MenuItem::StartRecord, startRecordCommand_);
    statusMenu_.setAction(MenuItem::StopRecord, std::nullopt);
    statusMenu_.setState(MenuItem::StartRecord, false);
    showRecordingState();
}

void AppDelegate::followSession(SessionEvents& events) {
    events.subscribe({[this](bool locked) { setAway(locked_, locked); },
                      [this](bool sleeping) { setAway(asleep_, sleeping); }});
}

void AppDelegate::PauseFor15Minutes() {
    pauseFor(std::chrono::minutes(15));
}

void AppDelegate::PauseFor1Hour() {
    pauseFor(std::chrono::hours(1));
}

void AppDelegate::PauseUntilTomorrow() {
    const auto now = platform_.clock.wallNow();
    pauseUntil(pauseLength_ ? now + *pauseLength_ : nextLocalMidnight(platform_.clock, now));
}

void AppDelegate::pauseFor(std::chrono::seconds length) {
    pauseUntil(platform_.clock.wallNow() + pauseLength_.value_or(length));
}

void AppDelegate::pauseUntil(std::chrono::system_clock::time_point end) {
    if (!recorder_->isRun()) {
        return;
    }
    const bool wasAway = away();
    pausedUntil_ = end;
    if (!wasAway) {
        recorder_->pause();
    }
    platform_.alarm.set(end, [this] { endTimedPause(); });
    offerStartRecord(true);
    const PausedUntil until = pauseEnd(end);
    platform_.systemLog.info("Paused until " + twoDigits(until.hour) + ":" +
                             twoDigits(until.minute) + (until.tomorrow ? " tomorrow" : ""));
    showRecordingState();
}

void AppDelegate::endTimedPause() {
    if (!pausedUntil_) {
        return;
    }
    platform_.alarm.cancel();
    pausedUntil_.reset();
    if (!away()) {
        recorder_->resume();
    }
    offerStartRecord(false);
    platform_.systemLog.info("The pause is over: recording again");
    showRecordingState();
}

void AppDelegate::offerStartRecord(bool offered) {
    statusMenu_.setAction(MenuItem::StartRecord, offered ? startRecordCommand_ : std::nullopt);
    statusMenu_.setState(MenuItem::StartRecord, !offered);
}

void AppDelegate::enablePauseItems(bool enabled) {
    for (const auto& [item, command] : pauseCommands_) {
        statusMenu_.setAction(item, enabled ? command : std::nullopt);
    }
}

void AppDelegate::ForgetLast15Minutes() {
    forgetProblem_ = recorder_->forget(kForgottenSpan);
    if (forgetProblem_) {
        platform_.systemLog.error("Could not forget the last 15 minutes, the log is as it was. " +
                                  logProblemText(*forgetProblem_));
    } else {
        // The caches still count, and name, what is gone. The log's new
        // identity would tell them so too; removing the files does not
        // depend on how they keep it.
        for (const std::string& problem : removeLogCaches(
                 platform_.fileSystem, totalsCachePath(platform_.homeFolder.cacheFolder()))) {
            platform_.systemLog.warning(problem);
        }
        platform_.systemLog.info("Forgot the last 15 minutes");
    }
    showRecordingState();
}

void AppDelegate::Privacy() {
    PrivacySetting setting(platform_.userDefaults, platform_.systemLog);
    platform_.privacyEditor.edit(setting.lists(), [this](const PrivacyLists& lists) {
        PrivacySetting(platform_.userDefaults, platform_.systemLog).setLists(lists);
        recorder_->reloadPrivacy();
    });
}

void AppDelegate::setDesktopNotice(std::optional<DesktopNotice> notice) {
    desktopNotice_ = std::move(notice);
    showRecordingState();
}

void AppDelegate::setRulesTrouble(std::optional<RulesTrouble> trouble) {
    rulesTrouble_ = std::move(trouble);
    showRecordingState();
}

void AppDelegate::PauseWhenIdle() {
    const bool on = !idleSetting_->pauseWhenIdle();
    idleSetting_->setPauseWhenIdle(on);
    statusMenu_.setState(MenuItem::PauseWhenIdle, on);
    if (recorder_->isRun()) {
        followIdle();
    }
}

void AppDelegate::followIdle() {
    if (!idleSetting_->pauseWhenIdle()) {
        platform_.idleWatch.stop();
        setAway(idle_, false);  // turned off while idle: the user is back now
        return;
    }
    platform_.idleWatch.watch(idleSetting_->threshold(),
                              {[this](auto lastInput) { idleChanged(true, lastInput); },
                               [this](auto at) { idleChanged(false, at); }});
}

void AppDelegate::ShowReport() {
    if (showReport_) {
        showReport_();
    }
}

void AppDelegate::idleChanged(bool idle, std::chrono::steady_clock::time_point at) {
    setAway(idle_, idle, at);
}

void AppDelegate::setAway(bool& reason, bool value,
                          std::optional<std::chrono::steady_clock::time_point> at) {
    const bool wasAway = away();
    reason = value;
    if (recorder_ && away() != wasAway) {
        away() ? recorder_->pause(at) : recorder_->resume(at);
    }
    showRecordingState();
}

void AppDelegate::showRecordingState() {
    if (!recorder_) {
        return;
    }
    statusMenu_.showTrayState(!recorder_->isRun() ? TrayState::stopped
                              : away()            ? TrayState::paused
                                                  : TrayState::recording);
    statusMenu_.showStatus({state(), forgetProblem_, desktopNotice_, rulesTrouble_});
}

RecordingState AppDelegate::state() const {
    if (!recorder_->isRun()) {
        return Stopped{};
    }
    if (pausedUntil_) {
        return pauseEnd(*pausedUntil_);
    }
    if (locked_ || asleep_) {
        return asleep_ ? Away::asleep : Away::screenLocked;
    }
    if (idle_) {
        return Away::idle;
    }
    return Recording{recorder_->writeProblem(), platform_.inputMonitors.available()};
}

// A pause lasts a day at most: the day is today's or tomorrow's.
PausedUntil AppDelegate::pauseEnd(std::chrono::system_clock::time_point end) const {
    const LocalTime at = platform_.clock.localTime(end);
    const LocalTime today = platform_.clock.localTime(platform_.clock.wallNow());
    const bool sameDay = at.year == today.year && at.month == today.month && at.day == today.day;
    return {at.hour, at.minute, !sameDay};
}

void AppDelegate::SaveAs() {
    recorder_->changeSaveAs();
    statusMenu_.setState(MenuItem::ShareWithOtherMachines, recorder_->isSharing());
    statusMenu_.showLogPath(recorder_->logLocation().path());
}

void AppDelegate::ShareWithOtherMachines() {
    recorder_->toggleSharing();
    statusMenu_.setState(MenuItem::ShareWithOtherMachines, recorder_->isSharing());
    statusMenu_.showLogPath(recorder_->logLocation().path());
}

void AppDelegate::OpenAtLogin() {
    if (!recorder_->enableLoginItem()) {
        return;  // unchecked and enabled, so that the user can try again
    }
    statusMenu_.setState(MenuItem::OpenAtLogin, true);
    statusMenu_.setAction(MenuItem::OpenAtLogin, std::nullopt);
}

void AppDelegate::showStatus() {
    log_->scanLog();
    updateShowLog();
}

void AppDelegate::updateShowLog() {
    std::vector<std::string> titles = rankRowTitles(log_->getRankLog(), kRankRows.size(), locale_);
    for (std::size_t k = 0; k < titles.size(); ++k) {
        statusMenu_.setTitle(kRankRows[k], titles[k]);
    }
}

void AppDelegate::writeIntervalInProgress() {
    if (recorder_) {
        recorder_->cutInterval();
    }
}

void AppDelegate::applicationWillTerminate() {
    if (recorder_ && recorder_->isRun()) {
        recorder_->stop();
    }
    if (log_) {
        log_->scanLog();  // the totals cache then matches the log at the next launch
    }
}

}  // namespace tesuko
