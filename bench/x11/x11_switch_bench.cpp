// SPDX-License-Identifier: GPL-3.0-or-later
// One application switch as the program handles it: the window manager
// changes _NET_ACTIVE_WINDOW, the session reads the new active window and
// posts the switch, and the recorder takes the on-screen window list and
// appends its record (to an in-memory file). Measured with 5, 100 and 5,000
// managed windows open (at most 1 ms even with 5,000: a switch asks only for
// the windows above the one it names); the window list alone is measured
// too, and with 10,000 windows, one of them titled at 64 KiB. Each desktop is a private
// Xvfb; without one the program ends with the reason.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <xcb/xcb.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/switch_benchmarks.h"
#include "fakes/fake_system_log.h"
#include "platform/x11/x11_session.h"
#include "support/xvfb_desktop.h"

namespace tesuko {
namespace {

// A desktop with that many windows of as many applications, and the
// recorder running over a session on it. openbox takes minutes to manage
// thousands of windows: more than a few hundred are stacked by hand, with
// the two that take turns in front on top, as a window manager raises them.
class X11Desktop {
  public:
    static constexpr int kWarmUpSwitches = 50;
    static constexpr int kMostManaged = 500;

    explicit X11Desktop(int windowCount)
        : desktop_(windowCount > kMostManaged ? XvfbDesktop::WindowManager::None
                                              : XvfbDesktop::WindowManager::Openbox) {
        for (int i = 0; i < windowCount; ++i) {
            std::string name = "App" + std::to_string(i);
            windows_.push_back(desktop_.createWindow(
                {.wmClass = name, .netWmName = name + " — a document title"}));
        }
        if (windowCount > kMostManaged) {
            std::vector<xcb_window_t> bottomUp(windows_.rbegin(), windows_.rend());
            desktop_.setList(desktop_.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW,
                             bottomUp);
            desktop_.setActiveWindows({windows_.back()});
        }
        // openbox focuses each new window; once the last one is active it
        // leaves _NET_ACTIVE_WINDOW to the benchmark.
        waitUntil([&] {
            return desktop_.rootList("_NET_ACTIVE_WINDOW") == std::vector{windows_.back()} &&
                   (windowCount > kMostManaged ||
                    desktop_.rootList("_NET_CLIENT_LIST").size() == windows_.size());
        });
        session_ = X11Session::open(DisplayTarget{desktop_.display(), std::nullopt}, log_).session;
        recorder_.start(*session_);
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
        desktop_.setActiveWindows({windows_[static_cast<std::size_t>(next_)]});
        pollfd watched{*session_->fd(), POLLIN, 0};
        while (recorder_.heldApplication() != application) {
            if (::poll(&watched, 1, 5000) <= 0) {
                return false;
            }
            session_->processEvents();
        }
        return true;
    }

    DesktopSession& session() { return *session_; }

  private:
    XvfbDesktop desktop_;
    std::vector<xcb_window_t> windows_;
    FakeSystemLog log_;
    std::unique_ptr<DesktopSession> session_;
    RecorderOverSession recorder_;
    int next_ = 0;
};

TESUKO_SWITCH_BENCHMARKS(X11Desktop);

// 10,000 windows without a window manager, stacked by hand with one titled at
// 64 KiB on top: neither may make the list fail, and the long title comes back
// cut, not lost.
class CrowdedDesktop {
  public:
    static constexpr int kWindows = 10000;

    CrowdedDesktop() : desktop_(XvfbDesktop::WindowManager::None) {
        // Made in one go, with a single round trip at the end.
        xcb_connection_t* c = desktop_.connection();
        constexpr std::string_view kClass("many\0Many\0", 10);
        std::vector<std::uint32_t> stacked;
        for (int i = 0; i < kWindows; ++i) {
            xcb_window_t window = xcb_generate_id(c);
            xcb_create_window(c, XCB_COPY_FROM_PARENT, window, desktop_.root(),
                              static_cast<std::int16_t>(i % 100 * 8),
                              static_cast<std::int16_t>(i / 100 * 8), 4, 4, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS,
                                XCB_ATOM_STRING, 8, kClass.size(), kClass.data());
            xcb_map_window(c, window);
            stacked.push_back(window);
        }
        stacked.push_back(desktop_.createWindow({.wmClass = "Long", .netWmName = longTitle_}));
        desktop_.setList(desktop_.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, stacked);
        session_ = X11Session::open(DisplayTarget{desktop_.display(), std::nullopt}, log_).session;
    }

    std::vector<WindowInfo> list() { return session_->windowList().onScreenWindows(); }

    // What is wrong with the list, or none.
    std::optional<std::string> fault(const std::vector<WindowInfo>& listed) const {
        if (listed.size() != kWindows + 1) {
            return std::to_string(listed.size()) + " windows listed";
        }
        const std::optional<std::string>& title = listed.front().title;
        if (listed.front().ownerName != "Long" || !title || title->size() < 16 * 1024 ||
            longTitle_.compare(0, title->size(), *title) != 0) {
            return "the long title was lost";
        }
        return std::nullopt;
    }

  private:
    XvfbDesktop desktop_;
    FakeSystemLog log_;
    std::string longTitle_ = std::string(64 * 1024 - 4, 'x') + "日";
    std::unique_ptr<DesktopSession> session_;
};

void BM_OnScreenTenThousandWindows(benchmark::State& state) {
    static CrowdedDesktop desktop;
    if (auto fault = desktop.fault(desktop.list())) {
        state.SkipWithError(fault->c_str());
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(desktop.list());
    }
}
BENCHMARK(BM_OnScreenTenThousandWindows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tesuko
