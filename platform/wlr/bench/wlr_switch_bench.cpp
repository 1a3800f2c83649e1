// SPDX-License-Identifier: GPL-3.0-or-later
// One application switch as the program handles it on a wlroots desktop: the
// compositor deactivates one window and activates another, the session reads
// the batch and posts the switch, and the recorder takes the title of the
// application that left the front and appends its record (to an in-memory
// file). Measured with 5, 100 and 5,000 windows open (at most 1 ms even with
// 5,000: the session knows every window already, and a switch looks only as
// far as the window of the application that left), and the window list alone.
// The compositor is a stand-in (fake_wlr_compositor.h): headless sway takes
// far too long to map thousands of windows.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/wlr/bench/fake_wlr_compositor.h"
#include "platform/wlr/wlr_session.h"
#include "recorder/recorder.h"
#include "tests/fakes/fake_platform.h"

namespace tesuko {
namespace {

std::string applicationNumber(int index) {
    return "App" + std::to_string(index);
}

// A desktop with that many windows of as many applications, the last one
// in front, and the recorder running over a session on it.
class SwitchDesktop {
  public:
    static constexpr int kWarmUpSwitches = 50;
    // libwayland drops a client whose unread events outgrow the socket, so
    // the windows open in batches that the session reads in between.
    static constexpr int kOpenedAtOnce = 100;

    explicit SwitchDesktop(int windowCount) {
        ::setenv("WAYLAND_DISPLAY", compositor_.socket().c_str(), 1);
        OpenedDesktopSession opened = WlrSession::open(fakes_.systemLog);
        if (!opened.session) {
            throw std::runtime_error(opened.error);
        }
        session_ = std::move(opened.session);
        for (int open = 0; open < windowCount;) {
            const int batch = std::min(kOpenedAtOnce, windowCount - open);
            compositor_.open(batch);
            open += batch;
            require(processUntil([&] {
                return session_->windowList().onScreenWindows().size() ==
                       static_cast<std::size_t>(open);
            }));
        }
        compositor_.activate(windowCount - 1);
        require(processUntil([&] {
            return session_->workspace().activeApplication() == applicationNumber(windowCount - 1);
        }));
        platform_.emplace(Platform{
            session_->workspace(), session_->windowList(), session_->inputMonitors(),
            session_->idleWatch(), fakes_.fileSystem, fakes_.userDefaults, fakes_.savePanel,
            fakes_.loginItems, fakes_.systemLog, fakes_.clock, fakes_.homeFolder});
        recorder_.emplace(*platform_);
        recorder_->run();
        for (int i = 0; i < kWarmUpSwitches; ++i) {
            require(switchOnce());
        }
    }

    // Activates the next of the first two windows and runs the session
    // until the recorder has handled the switch.
    bool switchOnce() {
        next_ = 1 - next_;
        const std::string application = applicationNumber(next_);
        compositor_.activate(next_);
        return processUntil([&] { return recorder_->heldApplicationName() == application; });
    }

    DesktopSession& session() { return *session_; }

  private:
    static void require(bool held) {
        if (!held) {
            throw std::runtime_error("the session heard nothing from the compositor within 5 s");
        }
    }

    // False when the compositor stays silent for 5 s before the condition holds.
    bool processUntil(const std::function<bool()>& condition) {
        pollfd watched{*session_->fd(), POLLIN, 0};
        while (!condition()) {
            if (::poll(&watched, 1, 5000) <= 0) {
                return false;
            }
            session_->processEvents();
        }
        return true;
    }

    FakeWlrCompositor compositor_;
    FakePlatform fakes_;
    std::unique_ptr<DesktopSession> session_;
    std::optional<Platform> platform_;
    std::optional<Recorder> recorder_;
    int next_ = 0;
};

// Started once per window count, like a desktop.
SwitchDesktop& desktopWith(int windowCount) {
    static std::map<int, std::unique_ptr<SwitchDesktop>> desktops;
    auto& desktop = desktops[windowCount];
    if (!desktop) {
        desktop = std::make_unique<SwitchDesktop>(windowCount);
    }
    return *desktop;
}

void BM_HandleOneSwitch(benchmark::State& state) {
    SwitchDesktop& desktop = desktopWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!desktop.switchOnce()) {
            state.SkipWithError("a switch was not handled within 5 s");
            return;
        }
    }
    state.SetLabel(std::to_string(state.range(0)) + " windows");
}
BENCHMARK(BM_HandleOneSwitch)
    ->Arg(5)
    ->Arg(100)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_OnScreenWindows(benchmark::State& state) {
    SwitchDesktop& desktop = desktopWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop.session().windowList().onScreenWindows());
    }
}
BENCHMARK(BM_OnScreenWindows)
    ->Arg(5)
    ->Arg(100)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
}  // namespace tesuko
