#include <gtest/gtest.h>

#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

const std::string kStart = "2026年12月05日 13時40分48秒";

// Recording with Editor in front since the start, which the next switch closes.
class SwitchTest : public RecorderTest {
  protected:
    void SetUp() override {
        fakes.workspace.setActiveApplication("Editor");
        recorder().init();
        recorder().run();
    }
    void switchTo(const char* next, std::optional<std::string> userInfo = std::nullopt) {
        fakes.workspace.switchTo(next ? std::optional<std::string>(next) : std::nullopt,
                                 std::move(userInfo));
    }
};

TEST_F(SwitchTest, WritesTheFrontMostUsableWindowOfTheHeldApplication) {
    fakes.windowList.setWindows({{"Browser", "News"}, {"Editor", "x"}, {"Editor", "Notes,draft"}});
    press(kLeftMouseDownMask, 2);
    press(kRightMouseDownMask, 1);
    press(kKeyDownMask, 10);
    advance(12.5);
    switchTo("Browser");

    EXPECT_EQ(log(), kStart + ",Editor,Notes、draft,3,10,12.500000\n");
    EXPECT_TRUE(logged("log:Notes、draft"));
    EXPECT_EQ(recorder().clickCount(), 0);
    EXPECT_EQ(recorder().keyDownCount(), 0);
    EXPECT_EQ(recorder().heldApplicationName(), "Browser");
}

TEST_F(SwitchTest, MatchesWindowsByTheShortIdentifierName) {
    fakes.windowList.setWindows({{"Code", "main.cpp - project"}});
    advance(1);
    switchTo("Browser", "{ a b c d e f g com.example.Code x }");

    EXPECT_TRUE(logged("DidDeactiveApplicationName: Code"));
    EXPECT_EQ(log(), kStart + ",Editor,main.cpp - project,0,0,1.000000\n");
}

TEST_F(SwitchTest, ShortIdentifierIsTheNinthTokenAfterItsLastDot) {
    struct Case {
        const char* userInfo;
        std::optional<std::string> shortName;
    };
    const Case cases[] = {
        {"0 1 2 3 4 5 6 7 org.kde.Konsole;", "Konsole;"},
        {"0 1 2 3 4 5 6 7 NoDots 9", "NoDots"},
        {"0  2 3 4 5 6 7 8", "8"},  // consecutive spaces give empty tokens
        {"0 1 2 3 4 5 6 7 ends.", ""},
        {"too few tokens", std::nullopt},
    };
    for (const Case& c : cases) {
        fakes.systemLog.lines.clear();
        switchTo("Editor", c.userInfo);
        if (c.shortName) {
            EXPECT_TRUE(logged("DidDeactiveApplicationName: " + *c.shortName)) << c.userInfo;
        } else {
            EXPECT_FALSE(loggedContaining("DidDeactiveApplicationName")) << c.userInfo;
        }
    }
}

TEST_F(SwitchTest, TitlesShorterThanTwoUtf16UnitsAreNotUsable) {
    fakes.windowList.setWindows({{"Editor", std::nullopt},
                                 {"Editor", ","},
                                 {"Editor", "é"},
                                 {"Editor", "\xF0\x9F\x98\x80"}});
    switchTo("Browser");
    EXPECT_EQ(log(), kStart + ",Editor,\xF0\x9F\x98\x80,0,0,0.000000\n");
}

TEST_F(SwitchTest, FallsBackToTheApplicationNameWhenNoWindowIsUsable) {
    fakes.windowList.setWindows({{"Browser", "News"}, {"Editor", "x"}, {std::nullopt, "Untitled"}});
    press(kKeyDownMask, 4);
    advance(2);
    switchTo("Browser");

    EXPECT_TRUE(logged("Editor"));
    EXPECT_EQ(log(), kStart + ",Editor,Editor,0,4,2.000000\n");
}

TEST_F(SwitchTest, LoginWindowWritesOnlyWithAUsableWindow) {
    fakes.workspace.switchTo("loginwindow");
    fakes.windowList.setWindows({{"Browser", "News"}});
    switchTo("Editor");
    EXPECT_TRUE(logged("loginwindow"));
    EXPECT_EQ(log().find(",loginwindow,"), std::string::npos);

    fakes.windowList.setWindows({{"loginwindow", "Login"}});
    switchTo("loginwindow");
    switchTo("Editor");
    EXPECT_NE(log().find(",loginwindow,Login,"), std::string::npos);
}

TEST_F(SwitchTest, EmptyWindowListWritesNothingButStillResets) {
    press(kLeftMouseDownMask, 5);
    switchTo("Browser");
    EXPECT_EQ(log(), "");
    EXPECT_EQ(recorder().clickCount(), 0);
    EXPECT_EQ(recorder().heldApplicationName(), "Browser");
    EXPECT_EQ(fakes.systemLog.lines.size(), 0u);
}

TEST_F(SwitchTest, NoActiveApplicationMeansTheNextSwitchWritesNothing) {
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    switchTo(nullptr);
    EXPECT_FALSE(recorder().heldApplicationName().has_value());
    std::string before = log();
    switchTo("Editor");
    EXPECT_EQ(log(), before);
}

TEST_F(SwitchTest, IntervalsAbutAndUseTheMonotonicClock) {
    fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    advance(3);
    switchTo("Browser");
    // The wall clock jumps back an hour; the interval is still measured truly.
    fakes.clock.setWall(fakes.clock.wallNow() - std::chrono::hours(1));
    advance(0.25);
    switchTo("Editor");
    advance(1);
    switchTo("Browser");
    EXPECT_EQ(log(), kStart + ",Editor,Notes,0,0,3.000000\n" +
                         "2026年12月05日 13時40分51秒,Browser,News,0,0,0.250000\n" +
                         "2026年12月05日 12時40分52秒,Editor,Notes,0,0,1.000000\n");
}

// A main loop busy with something long handles a switch late: the interval
// still ends when the switch happened, never before it began or after now.
TEST_F(SwitchTest, ASwitchHandledLateEndsTheIntervalWhenItHappened) {
    using std::chrono::seconds;
    fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    advance(10);
    fakes.workspace.switchTo("Browser", std::nullopt, fakes.clock.monotonicNow() - seconds(4));
    advance(2);
    fakes.workspace.switchTo("Editor", std::nullopt, fakes.clock.monotonicNow() - seconds(60));
    advance(1);
    fakes.workspace.switchTo("Browser", std::nullopt, fakes.clock.monotonicNow() + seconds(5));
    EXPECT_EQ(log(), kStart + ",Editor,Notes,0,0,6.000000\n" +
                         "2026年12月05日 13時40分54秒,Browser,News,0,0,0.000000\n" +
                         "2026年12月05日 13時40分54秒,Editor,Notes,0,0,7.000000\n");
}

TEST_F(SwitchTest, HostileNamesAndTitlesStayOneLineOfSixFields) {
    fakes.workspace.switchTo("Foo, Inc.\n");
    fakes.windowList.setWindows({{"Foo, Inc.\n", "a\nb,\xFF"}});
    switchTo("Editor");
    EXPECT_NE(log().find(",Foo、 Inc. ,a b、\xEF\xBF\xBD,0,0,"), std::string::npos) << log();
}

TEST_F(SwitchTest, ARecordThatCannotBeWrittenIsReported) {
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    fakes.fileSystem.writeFailure = "No space left on device";
    switchTo("Browser");
    EXPECT_TRUE(logged(std::string("Could not write a record to ") + kDefaultLog +
                       ": No space left on device"));
    EXPECT_EQ(recorder().heldApplicationName(), "Browser");
    EXPECT_TRUE(recorder().writeProblem().has_value());

    fakes.fileSystem.writeFailure.reset();
    switchTo("Editor");
    EXPECT_EQ(recorder().writeProblem(), std::nullopt) << "the next record that arrives clears it";
}

// The system log is readable by more people than the activity log: titles,
// names and records go there only as traces, which the user must ask for.
TEST_F(SwitchTest, TitlesAndNamesReachTheSystemLogOnlyAsTraces) {
    fakes.windowList.setWindows({{"Editor", "Secret plan"}, {"Browser", ""}});
    switchTo("Browser", "deactivated 0x1 pid 1 activated 0x2 pid 2 x11.class.Editor");
    switchTo("Editor");  // Browser has no usable window: its name stands in
    ASSERT_FALSE(fakes.systemLog.lines.empty());
    for (std::size_t i = 0; i < fakes.systemLog.lines.size(); ++i) {
        EXPECT_EQ(fakes.systemLog.priorities[i], SystemLog::Priority::trace)
            << fakes.systemLog.lines[i];
    }
}

TEST_F(SwitchTest, EachRecordGoesOutInOneWrite) {
    fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    switchTo("Browser");
    switchTo("Editor");
    EXPECT_EQ(fakes.fileSystem.writeCalls, 2);
}

}  // namespace
}  // namespace tesuko
