// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using namespace std::chrono;

// "name#pid", "name" when the pid is not known, "none" without an application.
std::string nameOf(const std::optional<Application>& app) {
    return !app ? "none" : app->pid ? app->name + "#" + std::to_string(*app->pid) : app->name;
}

class WorkspaceTest : public X11Test {
  protected:
    void prepare() override {
        session->workspace().subscribeSwitches([this](const ApplicationSwitch& change) {
            seen.push_back(nameOf(change.deactivated) + " → " + nameOf(change.activated));
            when = change.when;
        });
    }
    // A window no window manager touches: unmapped.
    xcb_window_t window(NewWindow wanted) {
        wanted.map = false;
        return desktop->createWindow(wanted);
    }

    std::vector<std::string> seen;                 // "from → to" for each switch
    std::optional<steady_clock::time_point> when;  // of the last one
};

// Each burst sets the property in one go and is handled before a switch to a
// marker window: every switch the burst caused comes before the marker's.
TEST_F(WorkspaceTest, ChangesOfTheActiveWindowCountByWhereTheyEnd) {
    const auto ownPid = static_cast<std::uint32_t>(::getpid());
    const xcb_window_t viewer = window({.wmClass = "org.example.Viewer", .pid = 4242});
    const xcb_window_t viewer2 = window({.wmClass = "org.example.Viewer", .pid = 4242});
    const xcb_window_t words = window({.wmClass = "Two Words  here"});
    const xcb_window_t ours = window({.pid = ownPid});  // no class: its process names it
    const xcb_window_t nameless = window({});
    const xcb_window_t marker = window({.wmClass = "Marker"});
    const std::string fromViewer = "org.example.Viewer#4242 → ";
    const std::string toMarker = " → Marker";
    const std::string self = "tesuko_x11_test#" + std::to_string(ownPid);
    const std::string w = "Two Words  here";
    const std::vector<std::pair<std::vector<xcb_window_t>, std::vector<std::string>>> cases{
        {{viewer, viewer}, {fromViewer + "Marker"}},
        {{viewer2}, {fromViewer + "Marker"}},
        {{XCB_NONE, viewer}, {fromViewer + "Marker"}},
        {{words, words, XCB_NONE, words}, {fromViewer + w, w + toMarker}},
        {{ours}, {fromViewer + self, self + toMarker}},
        {{nameless}, {fromViewer + "none", "none" + toMarker}},
    };
    for (const auto& [burst, expected] : cases) {
        desktop->setActiveWindows({viewer});
        ASSERT_TRUE(activeIs("org.example.Viewer"));
        seen.clear();
        desktop->setActiveWindows(burst);
        settle();
        desktop->setActiveWindows({marker});
        ASSERT_TRUE(activeIs("Marker"));
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(WorkspaceTest, ASwitchReadLateIsTimedWhenItWasMade) {
    // The changes of the active window, 300 ms apart, are read a second after
    // the first. The first change the session reads has nothing read promptly
    // before it but the clock reading made at connect; a cleared property is
    // timed by when the application before stopped being active.
    const std::vector<std::pair<std::vector<xcb_window_t>, std::string>> cases{
        {{window({.wmClass = "Apple"})}, "none → Apple"},
        {{XCB_NONE, window({.wmClass = "Banana"})}, "Apple → Banana"},
    };
    for (const auto& [steps, to] : cases) {
        seen.clear();
        steady_clock::time_point before = steady_clock::now();
        for (xcb_window_t step : steps) {
            desktop->setActiveWindows({step});
            desktop->sync();
            std::this_thread::sleep_for(300ms);
        }
        // A main loop busy with something else, such as a long scan.
        std::this_thread::sleep_until(before + 1s);
        ASSERT_TRUE(pump([&] { return !seen.empty(); })) << to;
        ASSERT_EQ(seen, std::vector{to});
        ASSERT_TRUE(when) << to;
        EXPECT_LE(std::abs(duration_cast<milliseconds>(*when - before).count()), 50)
            << "ms from the first change to the switch to " << to;
    }
}

using X11SessionTest = X11Test;

TEST_F(X11SessionTest, ALostServerIsReportedOnceAndTheLastActiveWindowKept) {
    desktop->activate(desktop->createManaged({.wmClass = "Last", .netWmName = "last words"}));
    ASSERT_TRUE(activeIs("Last"));
    int reports = 0;
    session->onConnectionLost([&] { ++reports; });

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
    EXPECT_EQ(session->workspace().activeApplication(), "Last");
}

}  // namespace
}  // namespace tesuko
