// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <array>

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

// What the monitors of left presses, right presses and key downs received.
using Counts = std::array<int, 3>;
constexpr std::array kKinds{kLeftMouseDownMask, kRightMouseDownMask, kKeyDownMask};

class InputMonitorsTest : public X11Test {
  protected:
    void prepare() override {
        ASSERT_TRUE(session->inputMonitors().available());
        other = desktop->createManaged({.wmClass = "Other"});
        activateAndPointAt(other);
    }
    void activateAndPointAt(xcb_window_t window) {
        desktop->activate(window);
        desktop->xdotool({"mousemove", "--sync", "--window", std::to_string(window), "20", "20"});
    }
    // What monitors installed just for it made of the input.
    Counts countsOf(const std::vector<std::string>& input) {
        Counts counts{};
        std::vector<MonitorHandle> handles;
        for (std::size_t kind = 0; kind < kKinds.size(); ++kind) {
            handles.push_back(session->inputMonitors().install(
                kKinds[kind], [&counts, kind] { ++counts[kind]; }));
        }
        EXPECT_EQ(desktop->xdotool(input).status, 0);
        settle();
        for (MonitorHandle handle : handles) {
            session->inputMonitors().remove(handle);
        }
        return counts;
    }

    xcb_window_t other = XCB_NONE;
};

TEST_F(InputMonitorsTest, CountsLeftAndRightPressesAndKeyDownsOnly) {
    const std::vector<std::pair<std::vector<std::string>, Counts>> cases{
        {{"click", "1", "click", "3", "key", "ctrl+shift+x"}, {1, 1, 1}},
        // The middle button, scrolling, moving and modifiers alone count nothing.
        {{"click", "2", "click", "4", "click", "5", "click", "6", "click", "7",
          "mousemove_relative", "5", "5", "key", "shift", "ctrl"},
         {0, 0, 0}},
        {{"click", "--repeat", "2", "--delay", "40", "1", "mousedown", "1", "mouseup", "1"},
         {3, 0, 0}},
        {{"type", "AbC!"}, {0, 0, 4}},  // shifted keys count once each
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(countsOf(input), expected) << ::testing::PrintToString(input);
    }
}

TEST_F(InputMonitorsTest, InputForThisProgramsOwnWindowsIsNotCounted) {
    auto ownPid = static_cast<std::uint32_t>(::getpid());
    // A click into our own window, then keys while it is active.
    activateAndPointAt(desktop->createManaged({.wmClass = "Tesuko", .pid = ownPid}));
    ASSERT_TRUE(activeIs("Tesuko"));
    EXPECT_EQ(countsOf({"click", "1", "type", "ab"}), (Counts{0, 0, 0}));

    // Keys while a popup of ours (an open menu) is shown over another application.
    activateAndPointAt(other);
    xcb_window_t popup = desktop->createWindow({.pid = ownPid, .overrideRedirect = true});
    settle();
    EXPECT_EQ(countsOf({"click", "1", "type", "cd"}), (Counts{0, 0, 0}));
    desktop->destroy(popup);
    settle();
    EXPECT_EQ(countsOf({"click", "3", "type", "e"}), (Counts{0, 1, 1}));
}

}  // namespace
}  // namespace tesuko
