#include <gmock/gmock.h>

#include <algorithm>

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using ::testing::HasSubstr;

TEST(X11SessionOpen, ExplainsWhyThereIsNoXServerToTalkTo) {
    const std::vector<std::pair<DisplayTarget, std::string>> cases{
        {{std::nullopt, std::nullopt}, "No X display: DISPLAY is not set"},
        {{std::nullopt, "wayland-0"}, "Wayland session (WAYLAND_DISPLAY=wayland-0) without X11"},
        {{"not a display", "wayland-0"}, "\"not a display\": the display name is malformed"},
    };
    FakeSystemLog log;
    for (const auto& [target, explanation] : cases) {
        OpenedDesktopSession opened = X11Session::open(target, log);
        EXPECT_EQ(opened.session, nullptr);
        EXPECT_THAT(opened.error, HasSubstr(explanation));
    }
}

using X11SessionTest = X11Test;

TEST_F(X11SessionTest, ALostServerIsReportedOnceAndTheLastActiveWindowKept) {
    desktop->activate(desktop->createManaged({.wmClass = "Last", .netWmName = "last words"}));
    ASSERT_TRUE(activeIs("Last"));
    int reports = 0;
    session->onConnectionLost([&] { ++reports; });
    EXPECT_FALSE(session->connectionLost());

    desktop->killServer();
    // Asked before the session noticed, as the front end may when its own
    // connection broke first.
    std::vector<WindowInfo> windows = session->windowList().onScreenWindows();
    ASSERT_TRUE(pump([&] { return session->connectionLost(); }));
    session->processEvents();

    EXPECT_EQ(reports, 1);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].ownerName, "Last");
    EXPECT_EQ(windows[0].title, "last words");
    EXPECT_EQ(session->windowList().onScreenWindows().size(), 1u);
    EXPECT_EQ(session->workspace().activeApplication(), "Last");
    session->inputMonitors().remove(session->inputMonitors().install(kKeyDownMask, [] {}));
    EXPECT_THAT(X11Session::open(DisplayTarget{desktop->display(), std::nullopt}, systemLog).error,
                HasSubstr("X display \"" + desktop->display() + "\": no X server answers"));
}

TEST_F(X11SessionTest, ProcessEventsLeavesNothingQueuedBehindTheSocket) {
    // Switches one after the other: every one must be handled in the wake-up
    // that read it, since nothing else would wake the loop for queued events.
    session->workspace().subscribeSwitches([&](const ApplicationSwitch&) {
        session->windowList().onScreenWindows();  // round trips that queue events meanwhile
    });
    for (const char* name : {"A", "B", "C", "D"}) {
        desktop->setActiveWindows({desktop->createWindow({.wmClass = name, .map = false})});
        desktop->sync();
    }
    EXPECT_TRUE(activeIs("D"));
}

TEST_F(X11SessionTest, AHandlerThatRunsANestedMainLoopIsNotCalledWithinItself) {
    xcb_window_t a = desktop->createWindow({.wmClass = "A", .map = false});
    xcb_window_t b = desktop->createWindow({.wmClass = "B", .map = false});
    int depth = 0;  // of handler calls now, and at most
    int deepest = 0;
    session->workspace().subscribeSwitches([&](const ApplicationSwitch& change) {
        deepest = std::max(deepest, ++depth);
        if (change.activated && change.activated->name == "A") {
            desktop->setActiveWindows({b});
            settle();  // as a modal dialog's loop would
        }
        --depth;
    });
    desktop->setActiveWindows({a});
    EXPECT_TRUE(activeIs("B"));
    EXPECT_EQ(deepest, 1);
}

}  // namespace
}  // namespace tesuko
