// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <tuple>

#include "recorder/checkpoint_store.h"
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
    fakes.fileSystem.writeFailure = FileFault(FileFault::Cause::system, ENOSPC);
    Recorder failing(fakes.platform);
    EXPECT_TRUE(checkpointLeft());
    EXPECT_TRUE(fakes.systemLog.said("Could not write the interval"));
    fakes.fileSystem.writeFailure.reset();
    Recorder next(fakes.platform);
    EXPECT_EQ(records(), 1u);
}

// A checkpoint goes only into the log in use, when that is the very file it
// was saved for (or, from the first version, which has no identity, the same
// path), and never before the log's last record; else it is kept aside.
TEST_F(CheckpointTest, ACheckpointGoesOnlyIntoItsOwnLogAndNeverOutOfOrder) {
    FakeFileSystem& fs = fakes.fileSystem;
    const std::string record = decodeCheckpoint(fs.content(kCheckpoint))->record;
    const std::string other = "/home/user/other.csv";
    const std::string later = "2026年12月05日 13時50分00秒,Browser,News,0,0,1.000000\n";
    fs.addFile(other, "x\n");
    auto fileAt = [&](const std::string& path) {
        return std::optional(FakeFileSystem::identityOf(fs.regular(path)));
    };
    // What, the log it names and that log's identity (none: a checkpoint of
    // the first version), the log before the start, whether it is written.
    using Case =
        std::tuple<const char*, std::string, std::optional<FileIdentity>, std::string, bool>;
    const Case cases[] = {
        {"its own log", kDefaultLog, fileAt(kDefaultLog), "", true},
        {"another file", other, fileAt(other), "", false},
        {"another file at the log's path", kDefaultLog, fileAt(other), "", false},
        {"older than the last record", kDefaultLog, fileAt(kDefaultLog), later, false},
        {"after a row that is no record", kDefaultLog, fileAt(kDefaultLog),
         later.substr(0, later.find(",0,")) + "\n", true},
        {"first version, the log's path", kDefaultLog, std::nullopt, "", true},
        {"first version, another path", other, std::nullopt, "", false},
    };
    for (const auto& [what, named, file, logBefore, written] : cases) {
        const std::string bytes =
            file ? encodeCheckpoint({named, record, file})
                 : "tesuko-checkpoint-1\n" + std::to_string(named.size()) + "\n" + named + record;
        fs.replaceFile(kCheckpoint, bytes, FileSystem::Access::privateToUser);
        fakes.systemLog.lines.clear();
        fs.rewrite(kDefaultLog, logBefore);
        fs.removeFile(kCheckpoint + ".aside-1");
        Recorder next(fakes.platform);
        EXPECT_EQ(log(), logBefore + (written ? record : "")) << what;
        EXPECT_EQ(fs.content(other), "x\n") << what;
        EXPECT_EQ(fs.content(kCheckpoint + ".aside-1"), written ? "" : bytes) << what;
        EXPECT_EQ(fakes.systemLog.said("Kept it as " + kCheckpoint + ".aside-1") > 0, !written);
        EXPECT_FALSE(checkpointLeft()) << what;
    }
}

// A log chosen in an earlier run is not made by the next start, but when it
// is there, it takes the checkpoint saved for it.
TEST_F(CheckpointTest, ALogChosenBeforeTakesItsCheckpointAtTheStart) {
    FakeFileSystem& fs = fakes.fileSystem;
    const std::string chosen = "/home/user/chosen.csv";
    const std::string record = decodeCheckpoint(fs.content(kCheckpoint))->record;
    fs.addFile(chosen, "");
    fs.replaceFile(
        kCheckpoint,
        encodeCheckpoint({chosen, record, FakeFileSystem::identityOf(fs.regular(chosen))}),
        FileSystem::Access::privateToUser);
    fakes.userDefaults.values["saveFilePath"] = chosen;
    Recorder next(fakes.platform);
    EXPECT_EQ(fs.content(chosen), record);
    EXPECT_FALSE(checkpointLeft());
}

TEST_F(CheckpointTest, ADamagedCheckpointIsReportedAndRemoved) {
    const std::string saved = fakes.fileSystem.content(kCheckpoint);
    for (const std::string& bytes : {std::string("garbage"), saved.substr(0, saved.size() - 1),
                                     saved + "x\n", "tesuko-checkpoint-0" + saved.substr(19)}) {
        fakes.systemLog.lines.clear();
        fakes.fileSystem.replaceFile(kCheckpoint, bytes, FileSystem::Access::privateToUser);
        Recorder next(fakes.platform);
        EXPECT_EQ(records(), 0u) << bytes;
        EXPECT_TRUE(fakes.systemLog.said("damaged")) << bytes;
        EXPECT_FALSE(checkpointLeft());
    }
}

}  // namespace
}  // namespace tesuko
