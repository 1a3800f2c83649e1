// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

const std::string kCheckpoint = "/home/user/.local/state/tesuko/interval.checkpoint";

// Recording in Editor. Each Recorder made later is the next start of the
// program, after the one before was killed without writing anything.
class CheckpointTest : public RecorderTest {
  protected:
    void SetUp() override {
        fakes.workspace.setActiveApplication("Editor");
        fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
        recorder().run();
        advance(60);
        recorder().saveCheckpoint();
    }
    std::size_t records() const { return recordsAfterStart(log()).size(); }
    bool checkpointLeft() { return fakes.fileSystem.exists(kCheckpoint); }
};

TEST_F(CheckpointTest, AHardKillLosesOnlyWhatCameAfterTheLastCheckpoint) {
    press(kKeyDownMask, 3);
    recorder().saveCheckpoint();
    advance(30);  // lost with the kill
    Recorder next(fakes.platform);
    EXPECT_EQ(log(), "2026年12月05日 13時40分48秒,Editor,Notes,0,3,60.000000\n");
    EXPECT_FALSE(checkpointLeft());
}

// Killed after the record went out but before the checkpoint went away.
TEST_F(CheckpointTest, AnIntervalAlreadyInTheLogIsNotWrittenTwice) {
    std::string saved = fakes.fileSystem.content(kCheckpoint);
    fakes.workspace.switchTo("Browser");
    fakes.fileSystem.replaceFile(kCheckpoint, saved, FileSystem::Access::privateToUser);
    Recorder next(fakes.platform);
    EXPECT_EQ(records(), 1u);
    EXPECT_FALSE(checkpointLeft());
}

// A run that cannot tell whether another records leaves its checkpoint alone.
TEST_F(CheckpointTest, ARunThatMayNotBeAloneLeavesTheCheckpoint) {
    Recorder next(fakes.platform, Recorder::Checkpoints::leave);
    EXPECT_EQ(records(), 0u);
    EXPECT_TRUE(checkpointLeft());
}

TEST_F(CheckpointTest, ACheckpointThatCannotBeWrittenBackIsKeptForTheNextStart) {
    fakes.fileSystem.writeFailure = "No space left on device";
    Recorder failing(fakes.platform);
    EXPECT_TRUE(checkpointLeft());
    EXPECT_TRUE(loggedContaining("Could not write the interval"));
    fakes.fileSystem.writeFailure.reset();
    Recorder next(fakes.platform);
    EXPECT_EQ(records(), 1u);
}

TEST_F(CheckpointTest, ADamagedCheckpointIsReportedAndRemoved) {
    const std::string saved = fakes.fileSystem.content(kCheckpoint);
    for (const std::string& bytes : {std::string("garbage"), saved.substr(0, saved.size() - 1),
                                     saved + "x\n", "tesuko-checkpoint-0" + saved.substr(19)}) {
        fakes.systemLog.lines.clear();
        fakes.fileSystem.replaceFile(kCheckpoint, bytes, FileSystem::Access::privateToUser);
        Recorder next(fakes.platform);
        EXPECT_EQ(records(), 0u) << bytes;
        EXPECT_TRUE(loggedContaining("damaged")) << bytes;
        EXPECT_FALSE(checkpointLeft());
    }
}

}  // namespace
}  // namespace tesuko
