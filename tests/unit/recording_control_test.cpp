// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

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

TEST_F(RecordingControlTest, EachMonitorCountsItsOwnKindOnceAndOnlyWhileRecording) {
    Recorder& r = recorder();
    r.run();
    r.stop();
    EXPECT_EQ(fakes.inputMonitors.installedCount(), 0u);
    EXPECT_FALSE(fakes.workspace.isSubscribed());
    press(kLeftMouseDownMask, 4);
    r.init();
    r.run();
    press(kLeftMouseDownMask, 1);
    press(kRightMouseDownMask, 1);
    press(kKeyDownMask, 1);
    press(1u << 2, 1);  // a button release: no monitor asked for it
    EXPECT_EQ(r.clickCount(), 2);
    EXPECT_EQ(r.keyDownCount(), 1);
}

// Plays space-separated events: "+N" N seconds pass, "B"/"E" Browser or
// Editor comes to the front, and the recorder's own stop, pause, resume, cut.
void play(RecordingControlTest& t, Recorder& r, const std::string& events) {
    std::istringstream in(events);
    for (std::string event; in >> event;) {
        if (event[0] == '+') {
            t.advance(std::stod(event.substr(1)));
        } else if (event == "B" || event == "E") {
            t.fakes.workspace.switchTo(event == "B" ? "Browser" : "Editor");
        } else if (event == "stop") {
            r.stop();
        } else if (event == "pause") {
            r.pause();
        } else if (event == "resume") {
            r.resume();
        } else {
            r.cutInterval();
        }
    }
}

// Each row: what happens after recording starts with Editor in front and
// three clicks, and the records (after their start) and state that leaves.
// Paused time and switches while paused belong to no one; resume opens an
// interval for the application in front then; a cut goes on with the same one.
TEST_F(RecordingControlTest, StopPauseResumeAndCutWriteEachIntervalOnce) {
    using State = Recorder::State;
    struct Row {
        const char* events;
        std::vector<std::string> records;
        State state;
    };
    const Row rows[] = {
        {"+9.5 stop B", {"Editor,Notes,3,0,9.500000"}, State::stopped},
        {"+2 pause +600 B pause", {"Editor,Notes,3,0,2.000000"}, State::paused},
        {"pause B resume resume +4 stop",
         {"Editor,Notes,3,0,0.000000", "Browser,News,0,0,4.000000"},
         State::stopped},
        {"+1 cut +2 B",
         {"Editor,Notes,3,0,1.000000", "Editor,Notes,0,0,2.000000"},
         State::recording},
        {"pause +5 stop cut", {"Editor,Notes,3,0,0.000000"}, State::stopped},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.events);
        RecordingControlTest t;
        t.fakes.workspace.setActiveApplication("Editor");
        t.fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
        t.recorder().run();
        t.press(kLeftMouseDownMask, 3);
        play(t, t.recorder(), row.events);
        EXPECT_EQ(recordsAfterStart(t.log()), row.records);
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
