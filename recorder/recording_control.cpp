// SPDX-License-Identifier: GPL-3.0-or-later
#include <limits>

#include "recorder/recorder.h"

namespace tesuko {

namespace {

// A day-long interval cannot overflow a counter, but a stuck key must not be UB.
void increment(std::int32_t& counter) {
    if (counter < std::numeric_limits<std::int32_t>::max()) {
        ++counter;
    }
}

}  // namespace

void Recorder::run() {
    state_ = State::recording;
    platform_.workspace.subscribeSwitches(
        [this](const ApplicationSwitch& change) { showActiveApplication(change); });
    InputMonitors& monitors = platform_.inputMonitors;
    leftClickEvent_ = monitors.install(kLeftMouseDownMask, [this] { increment(clickCount_); });
    rightClickEvent_ = monitors.install(kRightMouseDownMask, [this] { increment(clickCount_); });
    keyDownEvent_ = monitors.install(kKeyDownMask, [this] { increment(keyDownCount_); });
}

void Recorder::stop() {
    pause();  // stopping never loses the interval in progress
    for (std::optional<MonitorHandle>* handle :
         {&leftClickEvent_, &rightClickEvent_, &keyDownEvent_}) {
        if (*handle) {
            platform_.inputMonitors.remove(**handle);
            handle->reset();
        }
    }
    platform_.workspace.unsubscribeSwitches();
    state_ = State::stopped;
}

void Recorder::pause(std::optional<std::chrono::steady_clock::time_point> at) {
    if (state_ != State::recording) {
        return;
    }
    endInterval(at ? instantAt(*at) : now(), std::nullopt);
    state_ = State::paused;
}

void Recorder::resume(std::optional<std::chrono::steady_clock::time_point> at) {
    if (state_ != State::paused) {
        return;
    }
    beginInterval(at ? instantAt(*at) : now(), tracked(platform_.workspace.activeApplication()));
    state_ = State::recording;
}

void Recorder::cutInterval() {
    if (state_ != State::recording) {
        return;
    }
    endInterval(now(), deactiveJapanAppName_);
}

}  // namespace tesuko
