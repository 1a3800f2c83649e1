#include <gtest/gtest.h>

#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using RecordingControlTest = RecorderTest;

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

TEST_F(RecordingControlTest, StopWritesTheIntervalInProgress) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    Recorder& r = recorder();
    r.init();
    r.run();
    press(kLeftMouseDownMask, 3);
    advance(9.5);
    r.stop();
    EXPECT_EQ(log(), "2026年12月05日 13時40分48秒,Editor,Notes,3,0,9.500000\n");
    EXPECT_EQ(r.clickCount(), 0);
    EXPECT_FALSE(r.isRun());

    fakes.workspace.switchTo("Browser");
    EXPECT_EQ(log(), "2026年12月05日 13時40分48秒,Editor,Notes,3,0,9.500000\n")
        << "no switch is recorded after stop";
}

TEST_F(RecordingControlTest, StopWithoutRunWritesAndRemovesNothing) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    Recorder& r = recorder();
    r.stop();
    EXPECT_EQ(log(), "");
    EXPECT_FALSE(r.isRun());
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
