#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/integration/xdg_scoped_env.h"
#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A display number no server listens on.
std::string unusedDisplay() {
    for (int number = 907;; ++number) {
        struct stat info {};
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (::stat(socket.c_str(), &info) != 0) {
            return ":" + std::to_string(number);
        }
    }
}

TEST(X11SessionOpen, ExplainsWhyThereIsNoXServerToTalkTo) {
    std::string unused = unusedDisplay();
    struct Case {
        DisplayTarget target;
        std::vector<std::string> explanation;
    };
    const std::vector<Case> cases{
        {{std::nullopt, std::nullopt}, {"No X display", "DISPLAY is not set"}},
        {{std::nullopt, "wayland-0"},
         {"Wayland session", "WAYLAND_DISPLAY=wayland-0", "without X11 access", "DISPLAY"}},
        {{unused, std::nullopt},
         {"Cannot connect to the X display \"" + unused + "\"", "no X server answers"}},
        {{"not a display", "wayland-0"},
         {"Cannot connect to the X display \"not a display\"", "malformed"}},
    };
    for (const Case& c : cases) {
        FakeSystemLog log;
        X11Opened opened = X11Session::open(c.target, log);
        EXPECT_EQ(opened.session, nullptr);
        for (const std::string& part : c.explanation) {
            EXPECT_THAT(opened.error, HasSubstr(part));
        }
    }
}

TEST(DisplayTarget, ComesFromTheEnvironmentWithEmptyValuesAsNone) {
    ScopedEnv env;
    env.set("DISPLAY", "");
    env.set("WAYLAND_DISPLAY", "wayland-1");
    DisplayTarget target = DisplayTarget::fromEnvironment();
    EXPECT_EQ(target.display, std::nullopt);
    EXPECT_EQ(target.waylandDisplay, "wayland-1");
}

using X11SessionTest = X11Test;

TEST_F(X11SessionTest, ReportsALostServerOnceAndKeepsTheLastActiveWindow) {
    xcb_window_t window = startTerminal("LastTerm", "last words");
    activate(window);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "LastTerm"; }));
    int reports = 0;
    session().onConnectionLost([&] { ++reports; });
    EXPECT_FALSE(session().connectionLost());

    desktop().killServer();
    // Asked before the session noticed, as the front end may when its own
    // connection broke first.
    std::vector<WindowInfo> windows = session().windowList().onScreenWindows();
    ASSERT_TRUE(pump([&] { return session().connectionLost(); }));
    session().processEvents();
    session().processEvents();

    EXPECT_EQ(reports, 1);
    EXPECT_EQ(session().windowList().onScreenWindows().size(), windows.size());
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].ownerName, "LastTerm");
    EXPECT_EQ(windows[0].title, "last words");
    EXPECT_EQ(session().workspace().activeApplication(), "LastTerm");
    MonitorHandle handle = session().inputMonitors().install(kKeyDownMask, [] {});
    session().inputMonitors().remove(handle);
}

TEST_F(X11SessionTest, ALostServerWithNothingActiveListsNoWindow) {
    desktop().killServer();
    ASSERT_TRUE(pump([&] { return session().connectionLost(); }));
    EXPECT_THAT(session().windowList().onScreenWindows(), IsEmpty());
}

TEST_F(X11SessionTest, ProcessEventsLeavesNothingQueuedBehindTheSocket) {
    // Many switches at once: every one must be handled in the wake-up that
    // read them, since nothing else would wake the loop for queued events.
    std::vector<xcb_window_t> windows;
    for (const char* name : {"A", "B", "C", "D"}) {
        windows.push_back(client().createWindow({.wmClass = name, .map = false}));
    }
    int switches = 0;
    session().workspace().subscribeDeactivation([&](const DeactivationNotification&) {
        ++switches;
        session().windowList().onScreenWindows();  // round trips that queue events meanwhile
    });
    for (xcb_window_t window : windows) {
        client().setActiveWindows({window});
        client().sync();
    }
    EXPECT_TRUE(pump([&] { return session().workspace().activeApplication() == "D"; }));
    EXPECT_GE(switches, 1);
}

TEST_F(X11SessionTest, AHandlerThatRunsANestedMainLoopIsNotCalledWithinItself) {
    xcb_window_t a = client().createWindow({.wmClass = "A", .map = false});
    xcb_window_t b = client().createWindow({.wmClass = "B", .map = false});
    int depth = 0;
    int deepest = 0;
    session().workspace().subscribeDeactivation([&](const DeactivationNotification&) {
        deepest = std::max(deepest, ++depth);
        if (session().workspace().activeApplication() == "A") {
            client().setActiveWindows({b});
            settleSession();  // as a modal dialog's loop would
        }
        --depth;
    });
    client().setActiveWindows({a});
    EXPECT_TRUE(pump([&] { return session().workspace().activeApplication() == "B"; }));
    EXPECT_EQ(deepest, 1);
}

}  // namespace
}  // namespace tesuko
