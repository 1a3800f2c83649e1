#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

// Counts what each kind of monitor receives.
struct Counts {
    int left = 0;
    int right = 0;
    int keys = 0;
    bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& counts) {
    return out << "{left " << counts.left << ", right " << counts.right << ", keys " << counts.keys
               << "}";
}

class InputMonitorsTest : public X11Test {
  protected:
    void prepare() override {
        ASSERT_TRUE(session().countsInput());
        terminal = startTerminal("InputTerm", "typing here");
        activate(terminal);
        pointAt(terminal);
    }

    void installAll(Counts& into) {
        InputMonitors& monitors = session().inputMonitors();
        handles.push_back(monitors.install(kLeftMouseDownMask, [&into] { ++into.left; }));
        handles.push_back(monitors.install(kRightMouseDownMask, [&into] { ++into.right; }));
        handles.push_back(monitors.install(kKeyDownMask, [&into] { ++into.keys; }));
    }
    void removeAll() {
        for (MonitorHandle handle : handles) {
            session().inputMonitors().remove(handle);
        }
        handles.clear();
    }
    void pointAt(xcb_window_t window) {
        ASSERT_EQ(xdotool({"mousemove", "--sync", "--window", std::to_string(window), "20", "20"}),
                  0);
    }
    xcb_window_t terminal = XCB_NONE;
    std::vector<MonitorHandle> handles;
};

TEST_F(InputMonitorsTest, CountsLeftAndRightPressesAndKeyDownsOnly) {
    struct Case {
        const char* name;
        std::vector<std::string> xdotool;
        Counts expected;
    };
    const std::vector<Case> cases{
        {"left click", {"click", "1"}, {1, 0, 0}},
        {"right click", {"click", "3"}, {0, 1, 0}},
        {"middle click", {"click", "2"}, {0, 0, 0}},
        {"scrolling", {"click", "4", "click", "5", "click", "6", "click", "7"}, {0, 0, 0}},
        {"double click", {"click", "--repeat", "2", "--delay", "40", "1"}, {2, 0, 0}},
        {"button held and released", {"mousedown", "1", "mouseup", "1"}, {1, 0, 0}},
        {"pointer moved", {"mousemove_relative", "5", "5"}, {0, 0, 0}},
        {"plain keys", {"type", "abc"}, {0, 0, 3}},
        {"shifted keys count once each", {"type", "AbC!"}, {0, 0, 4}},
        {"a modifier alone", {"key", "shift", "ctrl"}, {0, 0, 0}},
        {"key with modifiers", {"key", "ctrl+shift+x"}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Counts counts;
        installAll(counts);
        ASSERT_EQ(xdotool(c.xdotool), 0) << c.name;
        settleSession();
        removeAll();
        EXPECT_EQ(counts, c.expected) << c.name;
    }
}

TEST_F(InputMonitorsTest, EachMonitorSeesItsKindsAndNothingAfterItsRemoval) {
    Counts counts;
    installAll(counts);
    int either = 0;
    MonitorHandle both = session().inputMonitors().install(kLeftMouseDownMask | kRightMouseDownMask,
                                                           [&either] { ++either; });

    ASSERT_EQ(xdotool({"click", "1", "click", "3", "type", "k"}), 0);
    ASSERT_TRUE(pump([&] { return counts == Counts{1, 1, 1} && either == 2; }));

    removeAll();
    ASSERT_EQ(xdotool({"click", "1", "click", "3", "type", "k"}), 0);
    settleSession();
    EXPECT_EQ(counts, (Counts{1, 1, 1})) << "nothing after remove";
    EXPECT_EQ(either, 4) << "the other monitor goes on";
    session().inputMonitors().remove(both);
}

TEST_F(InputMonitorsTest, StartStopStartCountsEachPressOnce) {
    Counts counts;
    installAll(counts);
    removeAll();
    installAll(counts);
    ASSERT_EQ(xdotool({"click", "1", "type", "xy"}), 0);
    settleSession();
    EXPECT_EQ(counts, (Counts{1, 0, 2}));
}

TEST_F(InputMonitorsTest, InputForThisProgramsOwnWindowsIsNotCounted) {
    auto ownPid = static_cast<std::uint32_t>(::getpid());
    xcb_window_t ownWindow =
        client().createWindow({.instance = "tesuko", .wmClass = "Tesuko", .pid = ownPid});
    ASSERT_TRUE(client().waitForClient("Tesuko"));
    Counts counts;
    installAll(counts);

    // A click into our own window, then keys while it is active.
    activate(ownWindow);
    pointAt(ownWindow);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "Tesuko"; }));
    ASSERT_EQ(xdotool({"click", "1", "type", "ab"}), 0);
    settleSession();

    // Keys while a popup of ours (an open menu) is shown over another
    // application; a tooltip of ours at the same time changes nothing.
    activate(terminal);
    pointAt(terminal);
    xcb_window_t popup = client().createWindow({.pid = ownPid, .overrideRedirect = true});
    xcb_window_t tooltip = client().createWindow({.pid = ownPid,
                                                  .windowType = "_NET_WM_WINDOW_TYPE_TOOLTIP",
                                                  .overrideRedirect = true,
                                                  .x = 800,
                                                  .y = 600});
    settleSession();
    ASSERT_EQ(xdotool({"click", "1", "type", "cd"}), 0);
    settleSession();
    client().destroy(popup);
    settleSession();

    EXPECT_EQ(counts, (Counts{0, 0, 0}));
    // Still counting what goes elsewhere, our tooltip still shown.
    ASSERT_EQ(xdotool({"click", "3", "type", "e"}), 0);
    settleSession();
    EXPECT_EQ(counts, (Counts{0, 1, 1}));
    client().destroy(tooltip);
}

}  // namespace
}  // namespace tesuko
