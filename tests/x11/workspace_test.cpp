#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// What the subscriber saw of each notification.
struct Seen {
    std::optional<std::string> userInfo;
    std::optional<std::string> activeDuringIt;
    std::optional<std::chrono::steady_clock::time_point> when;
};

class WorkspaceTest : public X11Test {
  protected:
    void subscribe() {
        session().workspace().subscribeDeactivation(
            [this](const DeactivationNotification& notification) {
                seen.push_back({notification.userInfo, session().workspace().activeApplication(),
                                notification.when});
            });
    }
    // A window of that class that no window manager touches: unmapped.
    xcb_window_t classWindow(const std::string& wmClass) {
        return client().createWindow({.instance = "app", .wmClass = wmClass, .map = false});
    }
    // Sets the property in one go, lets the session handle that, then switches
    // to a marker window: every notification the burst caused comes before it.
    void burstThenMarker(const std::vector<xcb_window_t>& burst, xcb_window_t marker) {
        client().setActiveWindows(burst);
        settleSession();
        client().setActiveWindows({marker});
        ASSERT_TRUE(
            pump([&] { return seen.size() > 0 && seen.back().activeDuringIt == "Marker"; }));
    }

    std::vector<Seen> seen;
};

TEST_F(WorkspaceTest, ARealSwitchNotifiesOnceWithTheNextApplicationAlreadyActive) {
    xcb_window_t alpha = startTerminal("AlphaTerm", "alpha one");
    xcb_window_t beta = startTerminal("BetaTerm", "beta");
    activate(alpha);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "AlphaTerm"; }));
    subscribe();

    activate(beta);
    ASSERT_TRUE(pump([&] { return !seen.empty(); }));
    activate(alpha);
    ASSERT_TRUE(pump([&] { return seen.size() == 2; }));

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].activeDuringIt, "BetaTerm");
    EXPECT_EQ(seen[1].activeDuringIt, "AlphaTerm");
    ASSERT_TRUE(seen[0].userInfo);
    EXPECT_THAT(*seen[0].userInfo, HasSubstr(" x11.class.AlphaTerm"));
    EXPECT_THAT(*seen[1].userInfo, HasSubstr(" x11.class.BetaTerm"));
}

TEST_F(WorkspaceTest, WindowsOfOneApplicationAreNoSwitch) {
    xcb_window_t first = startTerminal("SameTerm", "first");
    desktop().launch({"xterm", "-class", "SameTerm", "-T", "second", "-e", "sleep", "infinity"});
    ASSERT_TRUE(client().waitFor([&] { return client().clientList().size() == 2; }));
    xcb_window_t second = client().clientList().back() == first ? client().clientList().front()
                                                                : client().clientList().back();
    activate(first);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "SameTerm"; }));
    subscribe();

    activate(second);
    activate(first);
    burstThenMarker({}, classWindow("Marker"));
    ASSERT_EQ(seen.size(), 1u) << "only the switch to the marker";
    EXPECT_THAT(*seen[0].userInfo, HasSubstr("x11.class.SameTerm"));
}

TEST_F(WorkspaceTest, BurstsOfThePropertyCountByWhereTheyEnd) {
    xcb_window_t a = classWindow("Apple");
    xcb_window_t b = classWindow("Banana");
    xcb_window_t marker = classWindow("Marker");
    client().setActiveWindows({a});
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "Apple"; }));
    subscribe();

    struct Case {
        const char* name;
        std::vector<xcb_window_t> burst;
        std::vector<std::optional<std::string>> activeAtEach;
    };
    const std::vector<Case> cases{
        {"the same window again", {a, a, a}, {"Marker"}},
        {"cleared, then the next window", {XCB_NONE, b}, {"Banana", "Marker"}},
        {"cleared, then the same window", {XCB_NONE, a}, {"Marker"}},
        {"repeated next window", {b, b, XCB_NONE, b}, {"Banana", "Marker"}},
    };
    for (const Case& c : cases) {
        client().setActiveWindows({a});
        ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "Apple"; }));
        seen.clear();
        burstThenMarker(c.burst, marker);
        std::vector<std::optional<std::string>> active;
        for (const Seen& s : seen) {
            active.push_back(s.activeDuringIt);
        }
        EXPECT_EQ(active, c.activeAtEach) << c.name;
    }
}

TEST_F(WorkspaceTest, ASwitchReadLateIsTimedWhenItWasMade) {
    using namespace std::chrono;
    xcb_window_t a = classWindow("Apple");
    xcb_window_t b = classWindow("Banana");
    subscribe();

    struct Case {
        const char* name;
        std::vector<xcb_window_t> steps;  // set 300 ms apart
        std::string to;
    };
    const std::vector<Case> cases{
        // Nothing read promptly yet but the clock reading made at connect.
        {"the first change the session reads", {a}, "Apple"},
        // Timed by its first half, when Apple stopped being active.
        {"cleared, then the next window", {XCB_NONE, b}, "Banana"},
    };
    for (const Case& c : cases) {
        seen.clear();
        steady_clock::time_point before = steady_clock::now();
        client().setActiveWindows({c.steps.front()});
        client().sync();
        steady_clock::time_point after = steady_clock::now();
        for (std::size_t i = 1; i < c.steps.size(); ++i) {
            std::this_thread::sleep_for(300ms);
            client().setActiveWindows({c.steps[i]});
            client().sync();
        }
        // A main loop busy with something else, such as a long scan.
        std::this_thread::sleep_until(before + 1s);
        ASSERT_TRUE(pump([&] { return !seen.empty(); })) << c.name;

        ASSERT_EQ(seen.size(), 1u) << c.name;
        EXPECT_EQ(seen[0].activeDuringIt, c.to) << c.name;
        ASSERT_TRUE(seen[0].when) << c.name;
        EXPECT_TRUE(*seen[0].when >= before - 50ms && *seen[0].when <= after + 50ms)
            << c.name << ": " << duration_cast<microseconds>(*seen[0].when - before).count()
            << " us after the change was made";
    }
}

TEST_F(WorkspaceTest, ASwitchToNoWindowAndBackNotifiesBothWays) {
    xcb_window_t a = classWindow("Apple");
    client().setActiveWindows({a});
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "Apple"; }));
    subscribe();

    client().setActiveWindows({XCB_NONE});
    ASSERT_TRUE(pump([&] { return seen.size() == 1; }));
    EXPECT_EQ(seen[0].activeDuringIt, std::nullopt);
    EXPECT_THAT(*seen[0].userInfo, HasSubstr("x11.class.Apple"));

    client().setActiveWindows({a});
    ASSERT_TRUE(pump([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen[1].activeDuringIt, "Apple");
    EXPECT_EQ(seen[1].userInfo, std::nullopt) << "no application was deactivated";
}

TEST_F(WorkspaceTest, TheApplicationOfAWindowWithoutClassIsItsProcessName) {
    xcb_window_t ours =
        client().createWindow({.pid = static_cast<std::uint32_t>(::getpid()), .map = false});
    xcb_window_t nameless = client().createWindow({.map = false});
    client().setActiveWindows({ours});
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication().has_value(); }));
    EXPECT_EQ(session().workspace().activeApplication(), "tesuko_x11_test");

    client().setActiveWindows({nameless});
    ASSERT_TRUE(pump([&] { return !session().workspace().activeApplication(); }));
}

TEST_F(WorkspaceTest, NoNotificationAfterUnsubscribing) {
    xcb_window_t a = classWindow("Apple");
    xcb_window_t b = classWindow("Banana");
    subscribe();
    client().setActiveWindows({a});
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "Apple"; }));
    session().workspace().unsubscribeDeactivation();
    std::size_t before = seen.size();
    client().setActiveWindows({b});
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "Banana"; }));
    EXPECT_EQ(seen.size(), before);
}

}  // namespace
}  // namespace tesuko
