#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

class RecordingControlTest : public RecorderTest {
  public:
    void TestBody() override {}
    using RecorderTest::advance;
    using RecorderTest::fakes;
    using RecorderTest::log;
    using RecorderTest::press;
    using RecorderTest::recorder;
};

TEST_F(RecordingControlTest, EachMonitorCountsItsOwnKindOnce) {
    Recorder& r = recorder();
    r.run();
    EXPECT_EQ(fakes.inputMonitors.installedCount(), 3u);
    press(kLeftMouseDownMask, 1);
    press(kRightMouseDownMask, 1);
    press(kKeyDownMask, 1);
    press(1u << 2, 1);  // a button release: no monitor asked for it
    EXPECT_EQ(r.clickCount(), 2);
    EXPECT_EQ(r.keyDownCount(), 1);
}

TEST_F(RecordingControlTest, StartStopStartCountsEachClickOnce) {
    Recorder& r = recorder();
    r.init();
    r.run();
    r.stop();
    EXPECT_EQ(fakes.inputMonitors.installedCount(), 0u);
    EXPECT_FALSE(fakes.workspace.isSubscribed());
    press(kLeftMouseDownMask, 4);
    EXPECT_EQ(r.clickCount(), 0) << "nothing counts while stopped";

    r.init();
    r.run();
    press(kLeftMouseDownMask, 1);
    EXPECT_EQ(r.clickCount(), 1);
    EXPECT_TRUE(r.isRun());
}

// Each row: what happens after recording starts with Editor in front, and
// the records (application and seconds) and state that leaves.
TEST_F(RecordingControlTest, StopPauseResumeAndCutWriteEachIntervalOnce) {
    using State = Recorder::State;
    struct Row {
        const char* events;
        std::function<void(RecordingControlTest&)> run;
        std::vector<std::string> records;
        State state;
    };
    const Row rows[] = {
        {"stop writes the interval in progress; switches after it write nothing",
         [](auto& t) {
             t.advance(9.5);
             t.recorder().stop();
             t.fakes.workspace.switchTo("Browser");
         },
         {"Editor,3,9.500000"},
         State::stopped},
        {"a pause ends the interval; paused time and switches belong to no one",
         [](auto& t) {
             t.advance(2);
             t.recorder().pause();
             t.advance(600);
             t.fakes.workspace.switchTo("Browser");
             t.recorder().pause();
         },
         {"Editor,3,2.000000"},
         State::paused},
        {"resume opens an interval for the application in front then",
         [](auto& t) {
             t.recorder().pause();
             t.fakes.workspace.switchTo("Browser");
             t.recorder().resume();
             t.recorder().resume();
             t.advance(4);
             t.recorder().stop();
         },
         {"Editor,3,0.000000", "Browser,0,4.000000"},
         State::stopped},
        {"a cut writes the interval so far and goes on with the same application",
         [](auto& t) {
             t.advance(1);
             t.recorder().cutInterval();
             t.advance(2);
             t.fakes.workspace.switchTo("Browser");
         },
         {"Editor,3,1.000000", "Editor,0,2.000000"},
         State::recording},
        {"stopping while paused writes nothing more",
         [](auto& t) {
             t.recorder().pause();
             t.advance(5);
             t.recorder().stop();
             t.recorder().cutInterval();
         },
         {"Editor,3,0.000000"},
         State::stopped},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.events);
        RecordingControlTest t;
        t.fakes.workspace.setActiveApplication("Editor");
        t.fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
        t.recorder().run();
        t.press(kLeftMouseDownMask, 3);
        row.run(t);
        std::vector<std::string> records;
        std::istringstream lines(t.log());
        for (std::string line; std::getline(lines, line);) {
            auto application = line.find(',') + 1;
            auto title = line.find(',', application);
            auto clicks = line.find(',', title + 1) + 1;
            records.push_back(line.substr(application, title - application) + "," +
                              line.substr(clicks, line.find(',', clicks) - clicks) +
                              line.substr(line.rfind(',')));
        }
        EXPECT_EQ(records, row.records);
        EXPECT_EQ(t.recorder().state(), row.state);
    }
}

TEST_F(RecordingControlTest, DestroyingARecordingRecorderWritesItsInterval) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    recorder().run();
    advance(1);
    destroyRecorder();
    EXPECT_NE(log(), "");
    EXPECT_FALSE(fakes.workspace.isSubscribed());
}

}  // namespace
}  // namespace tesuko
