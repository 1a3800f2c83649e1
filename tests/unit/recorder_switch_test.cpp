// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <tuple>

#include "log/switch_record.h"
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using namespace std::string_literals;

const std::string kStart = "2026年12月05日 13時40分48秒";

// Recording with Editor in front since the start, which the next switch closes.
class SwitchTest : public RecorderTest {
  protected:
    void SetUp() override {
        fakes.workspace.setActiveApplication("Editor");
        recorder().init();
        recorder().run();
    }
    void switchTo(const char* next) {
        fakes.workspace.switchTo(next ? std::optional<std::string>(next) : std::nullopt);
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
    EXPECT_EQ(fakes.fileSystem.writeCalls, 1) << "a record goes out whole, in one write";
    EXPECT_TRUE(logged("log:Notes、draft"));
    EXPECT_EQ(recorder().clickCount() + recorder().keyDownCount(), 0);
    EXPECT_EQ(recorder().heldApplicationName(), "Browser");
}

// The switch names the application it left in full, dots and all; its
// windows name the interval even when it is not the name held at the start.
TEST_F(SwitchTest, MatchesWindowsListedUnderTheDeactivatedApplication) {
    fakes.windowList.setWindows({{"org.example.Code", "main.cpp - project"}});
    advance(1);
    recorder().showActiveApplication(
        {Application{"org.example.Code", 42}, Application{"Browser", std::nullopt}, std::nullopt});

    EXPECT_TRUE(logged("DidDeactiveApplicationName: org.example.Code"));
    EXPECT_EQ(log(), kStart + ",Editor,main.cpp - project,0,0,1.000000\n");
    EXPECT_EQ(recorder().heldApplicationName(), "Browser");
}

// Which title a record shows: the held application's front-most window with
// a title of at least two UTF-16 units, else the application's name (also
// when no window is left at all); no record for the login window without one
// of its own.
TEST(SwitchTitleTest, TheFrontMostUsableWindowElseTheNameNamesTheRecord) {
    // The application held, the windows, the title recorded (none: no record).
    const std::tuple<const char*, std::vector<WindowInfo>, std::optional<std::string>> cases[] = {
        {"Editor",
         {{"Editor", std::nullopt},
          {"Editor", ","},
          {"Editor", "é"},
          {"Editor", "\xF0\x9F\x98\x80"}},
         "\xF0\x9F\x98\x80"},
        {"Editor", {{"Browser", "News"}, {"Editor", "x"}, {std::nullopt, "Untitled"}}, "Editor"},
        {"Editor", {}, "Editor"},
        {"loginwindow", {{"Browser", "News"}}, std::nullopt},
        {"loginwindow", {{"loginwindow", "Login"}}, "Login"},
    };
    for (const auto& [held, windows, title] : cases) {
        FakePlatform fakes;
        fakes.workspace.setActiveApplication(held);
        fakes.windowList.setWindows(windows);
        Recorder recorder(fakes.platform);
        recorder.run();
        fakes.workspace.switchTo("Other");
        std::string log = fakes.fileSystem.content(kDefaultLog);
        if (title) {
            EXPECT_NE(log.find("," + std::string(held) + "," + *title + ",0,0,"), std::string::npos)
                << log;
        } else {
            EXPECT_EQ(log, "") << held;
        }
        EXPECT_EQ(recorder.heldApplicationName(), "Other");
    }
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
    fakes.workspace.switchTo("Browser", fakes.clock.monotonicNow() - seconds(4));
    advance(2);
    fakes.workspace.switchTo("Editor", fakes.clock.monotonicNow() - seconds(60));
    advance(1);
    fakes.workspace.switchTo("Browser", fakes.clock.monotonicNow() + seconds(5));
    EXPECT_EQ(log(), kStart + ",Editor,Notes,0,0,6.000000\n" +
                         "2026年12月05日 13時40分54秒,Browser,News,0,0,0.000000\n" +
                         "2026年12月05日 13時40分54秒,Editor,Notes,0,0,7.000000\n");
}

// A full disk: records wait in memory, are tried again at the next switch and
// at the front end's minute, and go out in order once the log takes them.
TEST_F(SwitchTest, RecordsThatCannotBeWrittenWaitAndGoOutInOrder) {
    fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    fakes.fileSystem.writeFailure = FileFault(FileFault::Cause::system, ENOSPC);
    advance(1);
    switchTo("Browser");
    advance(2);
    switchTo("Editor");
    recorder().saveCheckpoint();
    EXPECT_TRUE(logged(std::string("Could not write a record to ") + kDefaultLog +
                       ": No space left on device"));
    EXPECT_TRUE(logged("Records waiting in memory to be written: 2"));
    EXPECT_EQ(recorder().heldApplicationName(), "Editor");
    EXPECT_TRUE(recorder().writeProblem().has_value());
    EXPECT_EQ(log(), "");

    fakes.fileSystem.writeFailure.reset();
    recorder().saveCheckpoint();
    EXPECT_EQ(recorder().writeProblem(), std::nullopt) << "cleared once the records are out";
    EXPECT_TRUE(logged("The log takes records again: wrote the 2 kept in memory"));
    fakes.fileSystem.writeFailure = FileFault(FileFault::Cause::system, ENOSPC);
    advance(4);
    switchTo("Browser");
    fakes.fileSystem.writeFailure.reset();
    advance(8);
    switchTo("Editor");
    EXPECT_EQ(recordsAfterStart(log()),
              (std::vector<std::string>{"Editor,Notes,0,0,1.000000", "Browser,News,0,0,2.000000",
                                        "Editor,Notes,0,0,4.000000", "Browser,News,0,0,8.000000"}));
    EXPECT_EQ(recorder().appender().unwrittenRecords(), 0u);
}

// Forget reaches what waits as it reaches the log; what waits stays bounded,
// and losing the oldest is said, with how many.
TEST_F(SwitchTest, RecordsThatWaitCanBeForgottenAndAreBounded) {
    fakes.fileSystem.writeFailure = FileFault(FileFault::Cause::system, ENOSPC);
    const auto began = fakes.clock.monotonicNow();
    for (const char* next : {"Browser", "Editor", "Browser"}) {
        advance(10);
        switchTo(next);
    }
    recorder().appender().forgetUnwritten(began + std::chrono::seconds(15));
    fakes.fileSystem.writeFailure.reset();
    recorder().saveCheckpoint();
    EXPECT_EQ(recordsAfterStart(log()), (std::vector<std::string>{"Editor,Editor,0,0,10.000000",
                                                                  "Browser,Browser,0,0,5.000000"}));

    fakes.fileSystem.writeFailure = FileFault(FileFault::Cause::system, ENOSPC);
    for (int i = 0; i < 10'002; ++i) {
        switchTo(i % 2 ? "Editor" : "Browser");
    }
    EXPECT_EQ(recorder().appender().unwrittenRecords(), 10'000u);
    EXPECT_TRUE(logged("Too many records wait to be written: dropping the oldest"));
    fakes.fileSystem.writeFailure.reset();
    recorder().saveCheckpoint();
    EXPECT_EQ(recordsAfterStart(log()).size(), 10'002u);
    EXPECT_TRUE(
        logged("The log takes records again: wrote the 10000 kept in memory; 2 older "
               "ones were lost"));
}

// The system log is readable by more people than the activity log: titles,
// names and records go there only as traces, which the user must ask for.
TEST_F(SwitchTest, TitlesAndNamesReachTheSystemLogOnlyAsTraces) {
    fakes.windowList.setWindows({{"Editor", "Secret plan"}, {"Browser", ""}});
    switchTo("Browser");
    switchTo("Editor");  // Browser has no usable window: its name stands in
    ASSERT_FALSE(fakes.systemLog.lines.empty());
    for (std::size_t i = 0; i < fakes.systemLog.lines.size(); ++i) {
        EXPECT_EQ(fakes.systemLog.priorities[i], SystemLog::Priority::trace)
            << fakes.systemLog.lines[i];
    }
}

// A record's text: one line of six fields, whatever the names and titles hold.
TEST(SwitchRecord, FieldTextReplacesCommasControlsAndInvalidUtf8) {
    const std::pair<const char*, const char*> cases[] = {
        {"Foo, Inc.", "Foo、 Inc."},
        {"line\nbreak\r\tand\x1f", "line break  and "},
        {"del\x7f c1\xC2\x80\xC2\x9b[31m\xC2\x9f \xC2\xA0kept", "del  c1  [31m  \xC2\xA0kept"},
        {"bad \xff, cut \xE6\x97", "bad \xEF\xBF\xBD、 cut \xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\xAF\xF4\x90\x80\x80",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
         "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong, past U+10FFFF
        {"日本語 \xF0\x9F\x98\x80 \"quoted\"", "日本語 \xF0\x9F\x98\x80 \"quoted\""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(fieldText(in), out) << in;
    }
}

// The checkpoint orders records by the start as read back.
TEST(SwitchRecord, StartTimesReadBackAsWritten) {
    const LocalTime times[] = {{2026, 12, 5, 13, 40, 48},
                               {2024, 2, 29, 23, 59, 59},
                               {0, 1, 1, 0, 0, 0},
                               {9999, 12, 31, 9, 5, 7}};
    for (const LocalTime& time : times) {
        const std::optional<LocalTime> read = parseStartTime(formatStartTime(time));
        ASSERT_TRUE(read) << formatStartTime(time);
        EXPECT_EQ(formatStartTime(*read), formatStartTime(time));
    }
}

// Cut where a character ends, whatever the bytes of the character cut in two.
TEST(SwitchRecord, LongTitlesAreCutBetweenCharacters) {
    const std::string start = formatStartTime({2026, 12, 5, 13, 40, 48}) + ",App,";
    const std::string filler(kLongestTitle - 1, 'x');
    const std::pair<const char*, const char*> cases[] = {{"a", "a"}, {"ab", "a"}, {"é", ""},
                                                         {"日", ""}, {",", ""},   {"😀", ""}};
    for (const auto& [end, kept] : cases) {
        const std::string line =
            composeRecord({{2026, 12, 5, 13, 40, 48}, "App", filler + end, 1, 2, 1});
        EXPECT_TRUE(line.starts_with(start + filler));
        EXPECT_EQ(line.substr(start.size() + filler.size()), kept + ",1,2,1.000000\n"s) << end;
    }
}

}  // namespace
}  // namespace tesuko
