// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the desktop switch benchmarks share: the recorder running over a real
// desktop session (with in-memory files), one desktop per window count, and
// the two measurements. A desktop type offers `bool switchOnce()` and
// `DesktopSession& session()`.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "fakes/fake_platform.h"
#include "platform/desktop_session.h"
#include "recorder/recorder.h"

namespace tesuko {

// Declared after the session, so that it goes first.
class RecorderOverSession {
  public:
    void start(DesktopSession& session) {
        platform_.emplace(Platform{session.workspace(), session.windowList(),
                                   session.inputMonitors(), session.idleWatch(), fakes_.fileSystem,
                                   fakes_.userDefaults, fakes_.savePanel, fakes_.loginItems,
                                   fakes_.systemLog, fakes_.clock, fakes_.homeFolder});
        recorder_.emplace(*platform_);
        recorder_->run();
    }

    const std::optional<std::string>& heldApplication() const {
        return recorder_->heldApplicationName();
    }

  private:
    FakePlatform fakes_;
    std::optional<Platform> platform_;
    std::optional<Recorder> recorder_;
};

// Started once per window count: a desktop takes a while to come up.
template <class Desktop>
Desktop& desktopWith(int windowCount) {
    static std::map<int, std::unique_ptr<Desktop>> desktops;
    auto& desktop = desktops[windowCount];
    if (!desktop) {
        desktop = std::make_unique<Desktop>(windowCount);
    }
    return *desktop;
}

template <class Desktop>
void BM_HandleOneSwitch(benchmark::State& state) {
    Desktop& desktop = desktopWith<Desktop>(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!desktop.switchOnce()) {
            state.SkipWithError("a switch was not handled within 5 s");
            return;
        }
    }
    state.SetLabel(std::to_string(state.range(0)) + " windows");
}

template <class Desktop>
void BM_OnScreenWindows(benchmark::State& state) {
    Desktop& desktop = desktopWith<Desktop>(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop.session().windowList().onScreenWindows());
    }
}

// Both, with 5, 100 and 5,000 windows.
#define TESUKO_SWITCH_BENCHMARKS(Desktop)           \
    BENCHMARK_TEMPLATE(BM_HandleOneSwitch, Desktop) \
        ->Arg(5)                                    \
        ->Arg(100)                                  \
        ->Arg(5000)                                 \
        ->Unit(benchmark::kMicrosecond)             \
        ->UseRealTime();                            \
    BENCHMARK_TEMPLATE(BM_OnScreenWindows, Desktop) \
        ->Arg(5)                                    \
        ->Arg(100)                                  \
        ->Arg(5000)                                 \
        ->Unit(benchmark::kMicrosecond)             \
        ->UseRealTime()

}  // namespace tesuko
