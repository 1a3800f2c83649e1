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
    isRun_ = true;
    platform_.workspace.subscribeDeactivation([this](const DeactivationNotification& notification) {
        showActiveApplication(notification);
    });
    InputMonitors& monitors = platform_.inputMonitors;
    leftClickEvent_ = monitors.install(kLeftMouseDownMask, [this] { increment(clickCount_); });
    rightClickEvent_ = monitors.install(kRightMouseDownMask, [this] { increment(clickCount_); });
    keyDownEvent_ = monitors.install(kKeyDownMask, [this] { increment(keyDownCount_); });
}

void Recorder::stop() {
    if (isRun_) {
        closeInterval(std::nullopt);  // stopping never loses the interval in progress
        removeCheckpoint();
    }
    for (std::optional<MonitorHandle>* handle :
         {&leftClickEvent_, &rightClickEvent_, &keyDownEvent_}) {
        if (*handle) {
            platform_.inputMonitors.remove(**handle);
            handle->reset();
        }
    }
    platform_.workspace.unsubscribeDeactivation();
    isRun_ = false;
}

}  // namespace tesuko
