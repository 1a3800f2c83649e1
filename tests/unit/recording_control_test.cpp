// SPDX-License-Identifier: GPL-3.0-or-later
#include <tuple>

#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using RecordingControlTest = RecorderTest;

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

// Each row: what happens after recording starts with Editor in front and
// three clicks, and the records (after their start) and state that leaves.
// Paused time and switches while paused belong to no one; resume opens an
// interval for the application in front then; a cut goes on with the same one.
TEST_F(RecordingControlTest, StopPauseResumeAndCutWriteEachIntervalOnce) {
    using State = Recorder::State;
    const std::tuple<const char*, std::vector<std::string>, State> rows[] = {
        {"+9.5 stop Browser", {"Editor,Notes,3,0,9.500000"}, State::stopped},
        {"+2 pause +600 Browser pause", {"Editor,Notes,3,0,2.000000"}, State::paused},
        {"pause Browser resume resume +4 stop",
         {"Editor,Notes,3,0,0.000000", "Browser,News,0,0,4.000000"},
         State::stopped},
        {"+1 cut +2 Browser",
         {"Editor,Notes,3,0,1.000000", "Editor,Notes,0,0,2.000000"},
         State::recording},
        {"pause +5 stop cut", {"Editor,Notes,3,0,0.000000"}, State::stopped},
    };
    for (const auto& [events, records, state] : rows) {
        SCOPED_TRACE(events);
        FakePlatform local;
        local.workspace.setActiveApplication("Editor");
        local.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
        Recorder r(local.platform);
        r.run();
        for (int i = 0; i < 3; ++i) {
            local.inputMonitors.deliver(kLeftMouseDownMask);
        }
        play(local, r, events);
        EXPECT_EQ(recordsAfterStart(local.fileSystem.content(kDefaultLog)), records);
        EXPECT_EQ(r.state(), state);
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
