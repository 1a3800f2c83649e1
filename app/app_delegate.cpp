#include "app/app_delegate.h"

#include <array>
#include <utility>
#include <vector>

#include "ranking/rank_rows.h"

namespace tesuko {

namespace {

constexpr const char* kIconName = "tesuko.png";

constexpr std::array kRankRows = {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3,
                                  MenuItem::Rank4, MenuItem::Rank5};

}  // namespace

AppDelegate::AppDelegate(Platform& platform, StatusMenu& statusMenu, std::string locale)
    : platform_(platform), statusMenu_(statusMenu), locale_(std::move(locale)) {}

void AppDelegate::applicationDidFinishLaunching() {
    statusMenu_.showIcon(kIconName);
    recorder_.emplace(platform_);
    log_.emplace(platform_.fileSystem, platform_.userDefaults, platform_.systemLog,
                 platform_.homeFolder);

    idleSetting_.emplace(platform_.userDefaults, platform_.systemLog);
    statusMenu_.setState(MenuItem::PauseWhenIdle, idleSetting_->pauseWhenIdle());
    if (!platform_.idleWatch.available()) {
        statusMenu_.setAction(MenuItem::PauseWhenIdle, std::nullopt);
    }

    startRecordSelecter_ = statusMenu_.action(MenuItem::StartRecord);
    stopRecordSelecter_ = statusMenu_.action(MenuItem::StopRecord);
    saveAsSelecter_ = statusMenu_.action(MenuItem::SaveAs);

    if (recorder_->isEnableLoginItem()) {
        statusMenu_.setAction(MenuItem::OpenAtLogin, std::nullopt);
        StartRecord();
        statusMenu_.setState(MenuItem::OpenAtLogin, true);
    } else {
        statusMenu_.setAction(MenuItem::StopRecord, std::nullopt);
    }

    recorder_->onWriteProblemChanged([this] { showRecordingState(); });
    showRecordingState();
    statusMenu_.onCommand([this](MenuCommand command) { dispatch(command); });
    statusMenu_.onMenuWillOpen([this] { showStatus(); });
}

void AppDelegate::dispatch(MenuCommand command) {
    switch (command) {
        case MenuCommand::StartRecord:
            StartRecord();
            break;
        case MenuCommand::StopRecord:
            StopRecord();
            break;
        case MenuCommand::SaveAs:
            SaveAs();
            break;
        case MenuCommand::OpenAtLogin:
            OpenAtLogin();
            break;
        case MenuCommand::PauseWhenIdle:
            PauseWhenIdle();
            break;
        case MenuCommand::ShowReport:
            ShowReport();
            break;
        case MenuCommand::PauseFor15Minutes:
        case MenuCommand::PauseFor1Hour:
        case MenuCommand::PauseUntilTomorrow:
        case MenuCommand::ForgetLast15Minutes:
        case MenuCommand::Privacy:
            break;
    }
}

void AppDelegate::StartRecord() {
    recorder_->init();
    recorder_->run();
    if (away()) {
        recorder_->pause();
    }
    statusMenu_.setAction(MenuItem::SaveAs, std::nullopt);
    statusMenu_.setAction(MenuItem::StartRecord, std::nullopt);
    statusMenu_.setAction(MenuItem::StopRecord, stopRecordSelecter_);
    statusMenu_.setState(MenuItem::StartRecord, true);
    followIdle();
    showRecordingState();
}

void AppDelegate::StopRecord() {
    platform_.idleWatch.stop();
    idle_ = false;
    recorder_->stop();
    statusMenu_.setAction(MenuItem::SaveAs, saveAsSelecter_);
    statusMenu_.setAction(MenuItem::StartRecord, startRecordSelecter_);
    statusMenu_.setAction(MenuItem::StopRecord, std::nullopt);
    statusMenu_.setState(MenuItem::StartRecord, false);
    showRecordingState();
}

void AppDelegate::followSession(SessionEvents& events) {
    events.subscribe({[this](bool locked) { setAway(locked_, locked); },
                      [this](bool sleeping) { setAway(asleep_, sleeping); }});
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
    if (!recorder_->isRun()) {
        statusMenu_.setToolTip("Stopped");
    } else if (locked_ || asleep_) {
        statusMenu_.setToolTip(asleep_ ? "Paused: asleep" : "Paused: screen locked");
    } else if (idle_) {
        statusMenu_.setToolTip("Paused: idle");
    } else if (const auto& problem = recorder_->writeProblem()) {
        statusMenu_.setToolTip("Recording, but records cannot be written. " + *problem);
    } else {
        statusMenu_.setToolTip("Recording");
    }
}

void AppDelegate::SaveAs() {
    recorder_->changeSaveAs();
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
