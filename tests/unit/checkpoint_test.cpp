#include "recorder/checkpoint.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

const std::string kCheckpoint = "/home/user/.local/state/tesuko/interval.checkpoint";
const std::string kRecord = "2026年12月05日 13時40分48秒,Editor,Notes,3,10,60.000000\n";

TEST(CheckpointCodec, KeepsAnyPathAndRejectsWhatIsNotOneRecord) {
    Checkpoint checkpoint{"/odd\npath,/log.csv", kRecord};
    auto decoded = decodeCheckpoint(encodeCheckpoint(checkpoint));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->logPath, checkpoint.logPath);
    EXPECT_EQ(decoded->record, kRecord);

    std::string good = encodeCheckpoint(checkpoint);
    for (std::string bad : {std::string(), good.substr(0, good.size() - 1), good + "x\n",
                            "tesuko-checkpoint-0" + good.substr(19), good.substr(0, 25)}) {
        EXPECT_EQ(decodeCheckpoint(bad), std::nullopt) << bad;
    }
}

class CheckpointTest : public RecorderTest {
  protected:
    void SetUp() override {
        fakes.workspace.setActiveApplication("Editor");
        fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
        recorder().run();
    }
    std::size_t records() const {
        std::string text = log();
        return std::size_t(std::count(text.begin(), text.end(), '\n'));
    }
};

TEST_F(CheckpointTest, AHardKillLosesOnlyWhatCameAfterTheLastCheckpoint) {
    press(kKeyDownMask, 3);
    advance(60);
    recorder().saveCheckpoint();
    ASSERT_TRUE(fakes.fileSystem.exists(kCheckpoint));
    advance(30);  // lost with the kill

    Recorder next(fakes.platform);  // the next start, while the killed one never writes
    EXPECT_EQ(log(), "2026年12月05日 13時40分48秒,Editor,Notes,0,3,60.000000\n");
    EXPECT_FALSE(fakes.fileSystem.exists(kCheckpoint));

    Recorder again(fakes.platform);
    EXPECT_EQ(log(), "2026年12月05日 13時40分48秒,Editor,Notes,0,3,60.000000\n") << "written once";
}

TEST_F(CheckpointTest, ASwitchOrAStopLeavesNothingToWriteAgain) {
    advance(60);
    recorder().saveCheckpoint();
    fakes.workspace.switchTo("Browser");
    EXPECT_FALSE(fakes.fileSystem.exists(kCheckpoint)) << "the interval went into the log";
    advance(60);
    recorder().saveCheckpoint();
    recorder().stop();
    EXPECT_FALSE(fakes.fileSystem.exists(kCheckpoint));
    Recorder next(fakes.platform);
    EXPECT_EQ(records(), 2u);
}

// Killed after the record went out but before the checkpoint went away.
TEST_F(CheckpointTest, AnIntervalAlreadyInTheLogIsNotWrittenTwice) {
    advance(60);
    recorder().saveCheckpoint();
    std::string saved = fakes.fileSystem.content(kCheckpoint);
    fakes.workspace.switchTo("Browser");
    fakes.fileSystem.replaceFile(kCheckpoint, saved);
    Recorder next(fakes.platform);
    EXPECT_EQ(records(), 1u);
    EXPECT_FALSE(fakes.fileSystem.exists(kCheckpoint));
}

TEST_F(CheckpointTest, ACheckpointThatCannotBeWrittenBackIsKeptForTheNextStart) {
    advance(60);
    recorder().saveCheckpoint();
    fakes.fileSystem.writeFailure = "No space left on device";
    Recorder failing(fakes.platform);
    EXPECT_TRUE(fakes.fileSystem.exists(kCheckpoint));
    EXPECT_TRUE(loggedContaining("Could not write the interval a crash interrupted"));
    fakes.fileSystem.writeFailure.reset();
    Recorder next(fakes.platform);
    EXPECT_EQ(records(), 1u);
}

TEST_F(CheckpointTest, ADamagedCheckpointIsReportedAndRemoved) {
    fakes.fileSystem.replaceFile(kCheckpoint, "garbage");
    Recorder next(fakes.platform);
    EXPECT_TRUE(log().empty());
    EXPECT_TRUE(loggedContaining("Ignored the damaged"));
    EXPECT_FALSE(fakes.fileSystem.exists(kCheckpoint));
}

}  // namespace
}  // namespace tesuko
