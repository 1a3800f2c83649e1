// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "fakes/fake_system_log.h"
#include "platform/wlr/wlr_session.h"
#include "support/main_loop.h"
#include "tests/wlr/headless_wlroots.h"

namespace tesuko {
namespace {

using Clock = std::chrono::steady_clock;

std::string applicationName(const std::optional<Application>& application) {
    return application ? application->name : "-";
}

// WlrSession against a real wlroots compositor, driven as the program's
// main loop does.
class WlrSessionTest : public ::testing::TestWithParam<Wlroots> {
  protected:
    void SetUp() override {
        if (!HeadlessWlroots::installed(GetParam())) {
            GTEST_SKIP() << nameOf(GetParam()) << " is not installed";
        }
        compositor.emplace(GetParam());
    }
    void open() {
        ::setenv("WAYLAND_DISPLAY", compositor->socket().c_str(), 1);
        OpenedDesktopSession opened = WlrSession::open(log);
        ASSERT_TRUE(opened.session) << opened.error;
        session = std::move(opened.session);
        session->workspace().subscribeSwitches([this](const ApplicationSwitch& change) {
            switches.push_back(applicationName(change.deactivated) + ">" +
                               applicationName(change.activated));
            lastWhen = change.when.value_or(Clock::time_point{});
        });
    }
    bool pump(const std::function<bool()>& condition) {
        return pumpUntil([&] {
            session->processEvents();
            return condition();
        });
    }
    std::string front() { return session->workspace().activeApplication().value_or("-"); }
    std::string frontTitle() {
        auto windows = session->windowList().onScreenWindows();
        return windows.empty() ? "-" : windows.front().title.value_or("");
    }

    std::optional<HeadlessWlroots> compositor;
    FakeSystemLog log;
    std::unique_ptr<DesktopSession> session;
    std::vector<std::string> switches;
    Clock::time_point lastWhen;
};

TEST_P(WlrSessionTest, SwitchesOnlyWhenTheApplicationInFrontChanges) {
    compositor->openWindow("editor.A", "one");
    compositor->openWindow("editor.A", "two");
    QProcess& viewer = compositor->openWindow("viewer.B", "pic");
    open();
    // With no window in front, sway's windows wait on another workspace,
    // labwc's are minimized: off the screen.
    const std::string withNoneInFront = GetParam() == Wlroots::sway ? "two" : "-";
    const struct {
        std::function<void()> action;
        std::string front, title;           // application in front, front-most window
        std::vector<std::string> switches;  // posted by the step
    } steps[] = {
        {[&] { compositor->focus("one"); }, "editor.A", "one", {"viewer.B>editor.A"}},
        {[&] { compositor->focus("two"); }, "editor.A", "two", {}},
        {[&] { compositor->focus("pic"); }, "viewer.B", "pic", {"editor.A>viewer.B"}},
        {[&] { compositor->retitle(viewer, "picture"); }, "viewer.B", "picture", {}},
        // The compositor moves the focus to another window at once: one switch.
        {[&] { compositor->close(viewer); }, "editor.A", "two", {"viewer.B>editor.A"}},
        {[&] { compositor->showNoWindow(); }, "-", withNoneInFront, {"editor.A>-"}},
        {[&] { compositor->focus("two"); }, "editor.A", "two", {"->editor.A"}},
    };
    EXPECT_EQ(front(), "viewer.B");
    for (const auto& step : steps) {
        switches.clear();
        const auto asked = Clock::now();
        step.action();
        ASSERT_TRUE(pump([&] {
            return front() == step.front && frontTitle() == step.title &&
                   switches.size() >= step.switches.size();
        })) << "wanted "
            << step.front << ", " << step.title << "; got " << front() << ", " << frontTitle();
        EXPECT_EQ(switches, step.switches);
        if (!switches.empty()) {
            EXPECT_GE(lastWhen, asked);
            std::printf("switch read %ld us after the request, posted %ld us later\n",
                        long((lastWhen - asked) / 1us), long((Clock::now() - lastWhen) / 1us));
        }
    }
    std::vector<std::string> windows;
    for (const WindowInfo& window : session->windowList().onScreenWindows()) {
        windows.push_back(window.ownerName.value_or("-") + ":" + window.title.value_or("-"));
    }
    std::vector<std::string> onScreen{"editor.A:two", "editor.A:one"};
    if (GetParam() == Wlroots::labwc) {
        onScreen.pop_back();  // still minimized
    }
    EXPECT_EQ(windows, onScreen);
    EXPECT_FALSE(session->inputMonitors().available());
}

// The compositor closes every window when it ends (SIGTERM) before its
// clients go.
TEST_P(WlrSessionTest, ALostCompositorIsNoticedOnceAndLeavesTheLastWindowListed) {
    compositor->openWindow("editor.A", "one");
    open();
    int lost = 0;
    session->onConnectionLost([&] { ++lost; });
    compositor->stop(SIGTERM);
    ASSERT_TRUE(pump([&] { return session->connectionLost(); }));
    session->processEvents();
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(frontTitle(), "one");
    EXPECT_TRUE(switches.empty());
}

TEST_P(WlrSessionTest, IdleComesAfterTheThresholdWithoutInputAndEndsAtTheNextInput) {
    open();
    IdleWatch& idle = session->idleWatch();
    ASSERT_TRUE(idle.available());
    std::optional<Clock::time_point> lastInput, activeAt;
    compositor->nudge();
    const auto watched = Clock::now();
    idle.watch(1s, {[&](Clock::time_point at) { lastInput = at; },
                    [&](Clock::time_point at) { activeAt = at; }});
    ASSERT_TRUE(pump([&] { return lastInput.has_value(); }));
    EXPECT_GE(Clock::now() - watched, 950ms);
    EXPECT_LT(*lastInput - watched, 200ms);
    compositor->nudge();
    ASSERT_TRUE(pump([&] { return activeAt.has_value(); }));
    EXPECT_GE(*activeAt, watched + 1s);
}

INSTANTIATE_TEST_SUITE_P(Compositors, WlrSessionTest,
                         ::testing::Values(Wlroots::sway, Wlroots::labwc),
                         [](const auto& compositor) { return nameOf(compositor.param); });

}  // namespace
}  // namespace tesuko
