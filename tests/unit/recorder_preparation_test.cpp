// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "ranking/log.h"
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using PreparationTest = RecorderTest;

TEST_F(PreparationTest, NothingPersistedPreparesTheDefaultLocation) {
    Recorder& r = recorder();
    EXPECT_EQ(r.filePath(), kDefaultLog);
    EXPECT_TRUE(fakes.fileSystem.exists(kDefaultLog));
}

TEST_F(PreparationTest, PersistedLocationIsHeldAsFolderAndNameUntilTheNextPreparation) {
    struct Case {
        const char* stored;
        const char* folder;
        const char* fileName;
        const char* fullPath;
    };
    const Case cases[] = {
        {"file:///a/b/c/log.csv", "/a/b/c/", "log.csv", "/a/b/c/log.csv"},  // seven pieces
        {"file:///log.csv", "/", "log.csv", "/log.csv"},                    // four pieces
        {"/a/b/log.csv", "/a/b/", "log.csv", "/a/b/log.csv"},               // a plain absolute path
        {"file:///%E6%97%A5%E6%9C%AC/100%25/a%20b.csv", "/日本/100%/", "a b.csv",
         "/日本/100%/a b.csv"},
    };
    for (const Case& c : cases) {
        FakePlatform local;
        local.userDefaults.values["saveFilePath"] = c.stored;
        Recorder r(local.platform);
        EXPECT_EQ(r.filePath(), c.folder) << c.stored;
        EXPECT_EQ(r.saveFileName(), c.fileName);
        EXPECT_TRUE(local.fileSystem.isDirectory(c.folder));
        EXPECT_FALSE(local.fileSystem.exists(c.fullPath));

        r.init();
        EXPECT_EQ(r.filePath(), c.fullPath);
        EXPECT_TRUE(local.fileSystem.exists(c.fullPath));
        r.init();
        EXPECT_EQ(r.filePath(), c.fullPath) << "a further preparation keeps the full path";
    }
}

// A stored value that is neither a file URL nor an absolute path would send
// records to one place and the ranking to another: both take the default.
TEST_F(PreparationTest, AStoredLocationThatIsNoPathOrFileUrlMeansTheDefaultForBoth) {
    for (const char* stored : {"log.csv", "", "file://", "file:///logs/", "http://x/log.csv"}) {
        FakePlatform local;
        local.userDefaults.values["saveFilePath"] = stored;
        local.workspace.setActiveApplication("Editor");
        local.windowList.setWindows({{"Editor", "Notes"}});
        Recorder r(local.platform);
        r.init();
        r.run();
        local.workspace.switchTo("Browser");
        EXPECT_EQ(r.filePath(), kDefaultLog) << stored;

        Log ranking(local.fileSystem, local.userDefaults, local.systemLog, local.homeFolder);
        ranking.scanLog();
        EXPECT_EQ(ranking.getRankLog().size(), 1u) << stored;
        for (const std::string& line :
             {local.systemLog.lines.front(), local.systemLog.lines.back()}) {
            EXPECT_NE(line.find("neither a file URL nor an absolute"), std::string::npos) << stored;
        }
        auto said = [&] {
            return std::ranges::count_if(local.systemLog.lines, [](const std::string& line) {
                return line.find("neither a file URL") != std::string::npos;
            });
        };
        const auto before = said();
        ranking.scanLog();
        EXPECT_EQ(said(), before) << "said once, not at each scan";
        local.userDefaults.values["saveFilePath"] = kDefaultLog;
        ranking.scanLog();
        local.userDefaults.values["saveFilePath"] = stored;
        ranking.scanLog();
        EXPECT_EQ(said(), before + 1) << "said again when it comes back";
    }
}

TEST_F(PreparationTest, ReplacedLocationClosesTheOldWriterAndOpensTheNewFile) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    fakes.savePanel.confirm("file:///home/user/Logs/week%201.csv");
    Recorder& r = recorder();
    r.changeSaveAs();
    r.init();
    r.run();
    fakes.workspace.switchTo("Browser");
    EXPECT_EQ(r.filePath(), "/home/user/Logs/week 1.csv");
    EXPECT_EQ(log(), "");
    EXPECT_NE(log("/home/user/Logs/week 1.csv"), "");
}

TEST_F(PreparationTest, RemovedLogIsCreatedAgainWhereTheUserChose) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    Recorder& r = recorder();
    fakes.fileSystem.remove("/home/user/Desktop");
    r.init();
    EXPECT_TRUE(fakes.fileSystem.exists(kDefaultLog));
    EXPECT_FALSE(fakes.fileSystem.isDirectory(kDefaultLog));
    r.run();
    fakes.workspace.switchTo("Browser");
    EXPECT_NE(log(), "");
}

}  // namespace
}  // namespace tesuko
