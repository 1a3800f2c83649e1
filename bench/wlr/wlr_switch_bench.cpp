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
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "bench/switch_benchmarks.h"
#include "bench/wlr/fake_wlr_compositor.h"
#include "fakes/fake_system_log.h"
#include "platform/wlr/wlr_session.h"

namespace tesuko {
namespace {

std::string applicationNumber(int index) {
    return "App" + std::to_string(index);
}

// A desktop with that many windows of as many applications, the last one
// in front, and the recorder running over a session on it.
class WlrDesktop {
  public:
    static constexpr int kWarmUpSwitches = 50;
    // libwayland drops a client whose unread events outgrow the socket, so
    // the windows open in batches that the session reads in between.
    static constexpr int kOpenedAtOnce = 100;

    explicit WlrDesktop(int windowCount) {
        ::setenv("WAYLAND_DISPLAY", compositor_.socket().c_str(), 1);
        OpenedDesktopSession opened = WlrSession::open(log_);
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
        recorder_.start(*session_);
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
        return processUntil([&] { return recorder_.heldApplication() == application; });
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
    FakeSystemLog log_;
    std::unique_ptr<DesktopSession> session_;
    RecorderOverSession recorder_;
    int next_ = 0;
};

TESUKO_SWITCH_BENCHMARKS(WlrDesktop);

}  // namespace
}  // namespace tesuko
