// One application switch as the program handles it: the window manager
// changes _NET_ACTIVE_WINDOW, the session reads the new active window and
// posts the deactivation, and the recorder takes the on-screen window list
// and appends its record (to an in-memory file). Measured with 5 and with 100
// managed windows open; the window list alone is measured too.

#include <benchmark/benchmark.h>
#include <poll.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/x11_session.h"
#include "recorder/recorder.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/desktop_client.h"
#include "tests/support/xvfb_desktop.h"

namespace tesuko {
namespace {

// A desktop with that many windows of as many applications, and the
// recorder running over a session on it.
class SwitchDesktop {
  public:
    static constexpr int kWarmUpSwitches = 50;

    explicit SwitchDesktop(int windowCount) : client_(desktop_.display()) {
        for (int i = 0; i < windowCount; ++i) {
            std::string name = "App" + std::to_string(i);
            windows_.push_back(client_.createWindow(
                {.instance = name, .wmClass = name, .netWmName = name + " — a document title"}));
        }
        // openbox focuses each new window; once the last one is active it
        // leaves _NET_ACTIVE_WINDOW to the benchmark.
        client_.waitFor([&] {
            return client_.clientList().size() == windows_.size() &&
                   client_.activeWindow() == windows_.back();
        });
        X11Opened opened =
            X11Session::open(DisplayTarget{desktop_.display(), std::nullopt}, fakes_.systemLog);
        session_ = std::move(opened.session);
        platform_.emplace(Platform{session_->workspace(), session_->windowList(),
                                   session_->inputMonitors(), fakes_.fileSystem,
                                   fakes_.userDefaults, fakes_.savePanel, fakes_.loginItems,
                                   fakes_.systemLog, fakes_.clock, fakes_.homeFolder});
        recorder_.emplace(*platform_);
        recorder_->run();
        // The server and openbox are still busy drawing the new windows for a
        // while; the first switches would measure that.
        for (int i = 0; i < kWarmUpSwitches; ++i) {
            switchOnce();
        }
    }

    // Makes the next of the first two windows active and runs the main loop
    // until the recorder has handled the switch.
    bool switchOnce() {
        next_ = 1 - next_;
        std::string application = "App" + std::to_string(next_);
        client_.setActiveWindows({windows_[static_cast<std::size_t>(next_)]});
        pollfd watched{session_->fd(), POLLIN, 0};
        while (recorder_->heldApplicationName() != application) {
            if (::poll(&watched, 1, 5000) <= 0) {
                return false;
            }
            session_->processEvents();
        }
        return true;
    }

    X11Session& session() { return *session_; }

  private:
    XvfbDesktop desktop_;
    DesktopClient client_;
    std::vector<xcb_window_t> windows_;
    FakePlatform fakes_;
    std::unique_ptr<X11Session> session_;
    std::optional<Platform> platform_;
    std::optional<Recorder> recorder_;
    int next_ = 0;
};

// Started once per window count: an X server takes a while to come up.
SwitchDesktop& desktopWith(int windowCount) {
    static std::map<int, std::unique_ptr<SwitchDesktop>> desktops;
    auto& desktop = desktops[windowCount];
    if (!desktop) {
        desktop = std::make_unique<SwitchDesktop>(windowCount);
    }
    return *desktop;
}

void BM_HandleOneSwitch(benchmark::State& state) {
    if (auto reason = XvfbDesktop::unavailableReason()) {
        state.SkipWithError(reason->c_str());
        return;
    }
    SwitchDesktop& desktop = desktopWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!desktop.switchOnce()) {
            state.SkipWithError("a switch was not handled within 5 s");
            return;
        }
    }
    state.SetLabel(std::to_string(state.range(0)) + " windows");
}
BENCHMARK(BM_HandleOneSwitch)->Arg(5)->Arg(100)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_OnScreenWindows(benchmark::State& state) {
    if (auto reason = XvfbDesktop::unavailableReason()) {
        state.SkipWithError(reason->c_str());
        return;
    }
    SwitchDesktop& desktop = desktopWith(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop.session().windowList().onScreenWindows());
    }
}
BENCHMARK(BM_OnScreenWindows)->Arg(5)->Arg(100)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace tesuko
