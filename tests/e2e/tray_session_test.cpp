// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include <algorithm>
#include <numeric>

#include "tests/e2e/tray_fixture.h"
#include "tests/session/fake_desktop.h"

namespace tesuko {
namespace {

using ::testing::AnyOf;
using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using TraySessionTest = TrayTest;

TEST_F(TraySessionTest, ALoginItemLaunchRecordsRealSwitchesAndRanksThemInTheMenu) {
    QProcess tesuko;
    startTesuko(tesuko, "tesuko.out");
    // Started before the panel, as at login: it says so, and shows its icon
    // once a tray appears.
    ASSERT_TRUE(waitForText(work / "tesuko.out", "No system tray"));
    desktop->startTray();
    ASSERT_TRUE(waitUntil([&] { return shownWindows() == 1; }, 15s)) << output("tesuko.out");

    // Recording runs from the launch on: the second window's arrival already
    // ends an interval. Whatever a window calls itself, its record stays one
    // line of six fields.
    std::string controls(0x20, '\0');
    std::iota(controls.begin(), controls.end(), '\0');
    xcb_window_t alpha = desktop->createManaged({.wmClass = "E2eAlpha", .netWmName = "alpha"});
    ASSERT_TRUE(waitForFront(",E2eAlpha,alpha,"));
    xcb_window_t hostile = desktop->createManaged(
        {.wmClass = "Hostile,App", .netWmName = "T" + controls + "\x7f" + "a,b\xff\xfe" + "end"});
    const std::string hostileRecord =
        ",Hostile、App,T" + std::string(33, ' ') + "a、b\uFFFD\uFFFDend,";
    ASSERT_TRUE(waitForText(logFile(), ",E2eAlpha,alpha,"));
    desktop->activate(alpha);
    ASSERT_TRUE(waitForText(logFile(), hostileRecord));
    desktop->xdotool({"type", "--delay", "30", "abc"});
    desktop->xdotool({"mousemove", "--window", std::to_string(alpha), "30", "30", "click", "1"});
    desktop->activate(hostile);
    ASSERT_TRUE(waitForText(logFile(), ",E2eAlpha,alpha,1,3,")) << "one click, three keys";
    desktop->activate(alpha);
    ASSERT_TRUE(waitForText(logFile(), hostileRecord, 2));
    for (const std::string& record : records()) {
        EXPECT_EQ(countOf(record, ","), 5u) << record;
    }

    // The menu the icon opens, as it traces its items.
    desktop->xdotool({"search", "--onlyvisible", "--class", "^tesuko$", "mousemove", "--window",
                      "%1", "10", "10", "click", "1"});
    ASSERT_TRUE(waitForText(work / "tesuko.out", "tesuko: menu: Quit"));
    ASSERT_TRUE(waitUntil([&] { return shownWindows() == 2; })) << "no menu on screen";
    std::vector<std::string> menu;
    for (const std::string& line : linesOf(output("tesuko.out"))) {
        if (line.starts_with("tesuko: menu: ")) {
            menu.push_back(line.substr(14));
        }
    }
    const auto firstRow = std::find_if(
        menu.begin(), menu.end(), [](const std::string& item) { return item.starts_with("1 : "); });
    ASSERT_GE(std::distance(firstRow, menu.end()), 2) << output("tesuko.out");
    // Which of the two had more time depends on the machine's pace.
    std::vector<std::string> ranked{firstRow[0].substr(0, firstRow[0].find("    ")),
                                    firstRow[1].substr(0, firstRow[1].find("    "))};
    EXPECT_THAT(ranked, AnyOf(ElementsAre("1 : E2eAlpha", "2 : Hostile、App"),
                              ElementsAre("1 : Hostile、App", "2 : E2eAlpha")));
    EXPECT_EQ(menu.back(), "Quit tesuko");

    const std::size_t before = records().size();
    desktop->xdotool({"key", "Up", "Return"});  // the last item: Quit tesuko
    ASSERT_EQ(exitStatus(tesuko), 0) << output("tesuko.out");
    ASSERT_EQ(records().size(), before + 1) << "the interval in progress is written";
    EXPECT_EQ(countOf(records().back(), ",E2eAlpha,alpha,"), 1u) << records().back();
}

class SecondLaunchTest : public TrayTest, public ::testing::WithParamInterface<bool> {};

// Another session of the user, without a runtime folder, finds the running
// one; where the two share a session bus, it shows its report window.
TEST_P(SecondLaunchTest, ASecondLaunchBringsTheRunningOnesReportForwardOverASharedBus) {
    const bool sharedBus = GetParam();
    PrivateBus bus;
    EnvChanges env{
        {"DBUS_SESSION_BUS_ADDRESS", sharedBus ? bus.address : "unix:path=" + work / "no-bus"}};
    QProcess tesuko;
    startTesuko(tesuko, "tesuko.out", env);
    ASSERT_TRUE(waitForText(work / "tesuko.out", "No system tray"));
    env["XDG_RUNTIME_DIR"] = std::nullopt;
    QProcess second;
    startTesuko(second, "second.out", env);
    EXPECT_EQ(exitStatus(second, 5s), sharedBus ? 0 : 1);
    EXPECT_EQ(output("second.out"), sharedBus
                                        ? "tesuko is already running: showing its report window\n"
                                        : "tesuko is already running\n");
    const auto reportShown = [&] {
        return !desktop->xdotool({"search", "--onlyvisible", "--name", "^tesuko — Report$"})
                    .output.empty();
    };
    EXPECT_EQ(sharedBus ? waitUntil(reportShown) : reportShown(), sharedBus);
}

INSTANTIATE_TEST_SUITE_P(SharedBus, SecondLaunchTest, ::testing::Bool(),
                         ::testing::PrintToStringParamName());

TEST_F(TraySessionTest, TheEndOfTheDisplayWritesTheIntervalInProgressAndExitsCleanly) {
    QProcess tesuko;
    startTesuko(tesuko, "tesuko.out");
    ASSERT_TRUE(waitForText(work / "tesuko.out", "No system tray"));  // recording from then on
    desktop->createManaged({.wmClass = "E2eAlpha", .netWmName = "alpha"});
    ASSERT_TRUE(waitForFront(",E2eAlpha,alpha,"));
    desktop->createManaged({.wmClass = "E2eBeta", .netWmName = "beta"});
    ASSERT_TRUE(waitForText(logFile(), ",E2eAlpha,alpha,"));

    desktop->killServer();
    ASSERT_EQ(exitStatus(tesuko), 0) << output("tesuko.out");
    ASSERT_EQ(records().size(), 2u) << output("tesuko.out");
    EXPECT_EQ(countOf(records().back(), ",E2eBeta,beta,"), 1u) << records().back();
}

// SIGKILL gives no chance to write anything: the interval in progress comes
// back from the last checkpoint at the next start, once; --quit then ends it.
TEST_F(TraySessionTest, AHardKillLosesAtMostTheTimeSinceTheLastCheckpoint) {
    QProcess tesuko;
    startTesuko(tesuko, "tesuko.out");
    ASSERT_TRUE(waitForText(work / "tesuko.out", "No system tray"));
    desktop->createManaged({.wmClass = "E2eAlpha", .netWmName = "alpha"});
    ASSERT_TRUE(waitForFront(",E2eAlpha,alpha,"));
    desktop->createManaged({.wmClass = "E2eBeta", .netWmName = "beta"});
    ASSERT_TRUE(waitForText(logFile(), ",E2eAlpha,alpha,"));
    ASSERT_TRUE(waitForFront(",E2eBeta,beta,0,0,"));
    EXPECT_EQ(fs::status(checkpoint()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    tesuko.kill();
    exitStatus(tesuko);
    ASSERT_EQ(records().size(), 1u);
    // The checkpoint ends with the record, after the log's path.
    std::string saved = readFile(checkpoint());
    saved = saved.substr(saved.rfind("log.csv") + 7);
    saved.pop_back();

    writeSettings("");  // the next's first checkpoint comes long after the test
    QProcess next;
    startTesuko(next, "next.out");
    ASSERT_TRUE(waitForText(logFile(), "\n", 2));
    EXPECT_EQ(records().back(), saved);
    EXPECT_FALSE(fs::exists(checkpoint()));
    // `tesuko --quit` returns once the interval in progress is written; a
    // second finds none running.
    EXPECT_EQ(run({kBinary, "--quit"}, programEnv()).status, 0);
    ASSERT_EQ(records().size(), 3u) << output("next.out");
    EXPECT_EQ(exitStatus(next), 0) << output("next.out");
    EXPECT_EQ(countOf(records().back(), ",E2eBeta,beta,"), 1u) << records().back();
    EXPECT_EQ(countOf(readFile(logFile()), saved), 1u);
    EXPECT_EQ(run({kBinary, "--quit"}, programEnv()).status, 1);
}

// In a Wayland session that offers none of the ways to see the window in
// front, the X11 display beside it shows only XWayland's windows: tesuko says
// why for each Wayland backend, in the order it tried them, and records
// nothing rather than part.
TEST_F(TraySessionTest, AWaylandSessionWithoutABackendSaysWhyAndRecordsNothing) {
    FakeDesktop buses;  // a session bus with neither KWin nor GNOME Shell on it
    QProcess tesuko;
    startTesuko(tesuko, "tesuko.out",
                {{"WAYLAND_DISPLAY", "wayland-none"},
                 {"QT_QPA_PLATFORM", "offscreen"},
                 {"DBUS_SESSION_BUS_ADDRESS", buses.session.address}});
    EXPECT_EQ(exitStatus(tesuko), 2);
    EXPECT_THAT(output("tesuko.out"),
                ContainsRegex("\\(wlr: cannot connect to the Wayland display wayland-none.*; "
                              "kwin: KWin is not on the session bus; "
                              "gnome: GNOME Shell is not on the session bus\\)"));
    EXPECT_FALSE(fs::exists(logFile()));
}

}  // namespace
}  // namespace tesuko
