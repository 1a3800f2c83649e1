// SPDX-License-Identifier: GPL-3.0-or-later
// Where the log lives: by default, as stored, chosen with Save Log As, and
// again once removed.

#include "log/log_location.h"
#include "settings/setting.h"
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using PreparationTest = RecorderTest;
using SaveAsTest = RecorderTest;

// The log lives in the desktop folder of the user's language until a file
// is chosen; a log chosen before, in ~/Desktop, stays where it is. A shared
// folder comes first, with the machine's own log in it, when it can be used.
TEST(LogLocationTest, TheDefaultLogIsOnTheDesktopAndAChosenOneStays) {
    const struct {
        std::optional<std::string> stored;
        const char* log;
        const char* shared = "";
        const char* machineId = "m1";
    } cases[] = {
        {std::nullopt, "/home/u/デスクトップ/TESUKO/log.csv"},
        {"file:///home/u/Desktop/TESUKO/log.csv", "/home/u/Desktop/TESUKO/log.csv"},
        {"/home/u/Desktop/TESUKO/log.csv", "/home/u/Desktop/TESUKO/log.csv"},
        {"/home/u/a.csv", "/sync/34104c0332640cc9.csv", "/sync"},
        {"/home/u/a.csv", "/sync/34104c0332640cc9.csv", "/sync/"},
        {"/home/u/a.csv", "/home/u/a.csv", "sync"},       // not absolute
        {"/home/u/a.csv", "/home/u/a.csv", "/sync", ""},  // no machine id
    };
    for (const auto& c : cases) {
        FakeHomeFolder home("/home/u", "/home/u/デスクトップ");
        FakeUserDefaults defaults;
        FakeSystemLog systemLog;
        FakeFileSystem fileSystem;
        fileSystem.addFile("/etc/machine-id", c.machineId);
        if (c.stored) {
            defaults.set(Setting::kSaveFilePathKey, *c.stored);
        }
        defaults.set(Setting::kSharedFolderKey, c.shared);
        const LogLocation location = logLocationFromSettings(defaults, systemLog, home, fileSystem);
        EXPECT_EQ(location.path(), c.log) << c.stored.value_or("none") << c.shared;
        EXPECT_EQ(location.shared, location.path().starts_with("/sync"));
    }
}

TEST_F(PreparationTest, PersistedLocationIsHeldAsFolderAndNameUntilTheNextPreparation) {
    // Stored, then held as folder and name, then as the full path.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"file:///a/b/c/log.csv", "/a/b/c/", "log.csv", "/a/b/c/log.csv"},  // seven pieces
        {"file:///log.csv", "/", "log.csv", "/log.csv"},                    // four pieces
        {"/a/b/log.csv", "/a/b/", "log.csv", "/a/b/log.csv"},               // a plain absolute path
        {"file:///%E6%97%A5%E6%9C%AC/100%25/a%20b.csv", "/日本/100%/", "a b.csv",
         "/日本/100%/a b.csv"},
    };
    for (const auto& [stored, folder, fileName, fullPath] : cases) {
        FakePlatform local;
        local.userDefaults.values["saveFilePath"] = stored;
        Recorder r(local.platform);
        EXPECT_EQ(r.filePath(), folder) << stored;
        EXPECT_EQ(r.saveFileName(), fileName);
        EXPECT_TRUE(local.fileSystem.isDirectory(folder));
        EXPECT_FALSE(local.fileSystem.exists(fullPath));

        r.init();
        EXPECT_EQ(r.filePath(), fullPath);
        EXPECT_TRUE(local.fileSystem.exists(fullPath));
        r.init();
        EXPECT_EQ(r.filePath(), fullPath) << "a further preparation keeps the full path";
    }
}

// A stored value that is neither a file URL nor an absolute path means the
// default, said once.
TEST_F(PreparationTest, AStoredLocationThatIsNoPathOrFileUrlMeansTheDefault) {
    for (const char* stored : {"log.csv", "", "file://", "file:///logs/", "http://x/log.csv"}) {
        FakePlatform local;
        local.userDefaults.values["saveFilePath"] = stored;
        Recorder r(local.platform);
        r.init();
        EXPECT_EQ(r.filePath(), kDefaultLog) << stored;
        EXPECT_EQ(local.systemLog.said("neither a file URL nor an absolute"), 1) << stored;
    }
}

// Nothing stored: the default location, prepared at once, and again when removed.
TEST_F(PreparationTest, TheDefaultLogIsPreparedAndCreatedAgainWhenRemoved) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    Recorder& r = recorder();
    EXPECT_EQ(r.filePath(), kDefaultLog);
    EXPECT_TRUE(fakes.fileSystem.exists(kDefaultLog));
    fakes.fileSystem.remove("/home/user/Desktop");
    r.init();
    EXPECT_TRUE(fakes.fileSystem.exists(kDefaultLog));
    EXPECT_FALSE(fakes.fileSystem.isDirectory(kDefaultLog));
    r.run();
    fakes.workspace.switchTo("Browser");
    EXPECT_NE(log(), "");
}

// Sharing copies the log into the shared folder once, leaving the old one,
// and writes the card there; off, the local log goes on.
TEST_F(SaveAsTest, SharingCopiesTheLogOnceAndStoppingReturnsToTheLocalOne) {
    fakes.fileSystem.addFile("/etc/machine-id", "m1\n");
    fakes.fileSystem.addFile("/etc/hostname", "desk\n");
    fakes.fileSystem.addFile(kDefaultLog, "old\n");
    fakes.fileSystem.createDirectories("/sync");
    const std::string shared = "/sync/34104c0332640cc9.csv";
    recorder().toggleSharing();  // cancelled
    EXPECT_EQ(recorder().logLocation().path(), kDefaultLog);
    fakes.savePanel.confirm("/sync");
    recorder().toggleSharing();
    EXPECT_EQ(recorder().logLocation().path(), shared);
    EXPECT_EQ(fakes.fileSystem.content(shared), "old\n");
    recorder().toggleSharing();  // off
    EXPECT_EQ(recorder().logLocation().path(), kDefaultLog);
    fakes.fileSystem.rewrite(shared, "old\nnew\n");
    fakes.savePanel.confirm("/sync");
    recorder().toggleSharing();  // this machine's log from before goes on
    EXPECT_EQ(fakes.fileSystem.content(shared), "old\nnew\n");
    EXPECT_EQ(log(), "old\n");
    recorder().init();
    EXPECT_EQ(fakes.fileSystem.content("/sync/34104c0332640cc9.machine").substr(0, 10),
              "name=desk\n");
    fakes.savePanel.confirm("/home/user/other.csv");  // a file chosen ends sharing
    recorder().changeSaveAs();
    EXPECT_EQ(fakes.userDefaults.string("sharedFolder"), "");
}

// Chosen with Save Log As on a stopped recorder at its default location.
TEST_F(SaveAsTest, TheChoiceIsStoredAsGivenUsedDecodedAndCreatedWithoutFolders) {
    recorder();
    fakes.fileSystem.createDirectories("/Users/user/My Logs");
    fakes.fileSystem.addFile("/home/user/old.csv", "earlier line\n");
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"file:///Users/user/My%20Logs/week%201.csv", "/Users/user/My Logs/", "week 1.csv", ""},
        {"file:///log.csv", "/", "log.csv", ""},
        {"file:///home/user/old.csv", "/home/user/", "old.csv", "earlier line\n"},  // kept
        {"file:///home/user/%E3%80%80a/100%25%20%23%3F.csv", "/home/user/\u3000a/", "100% #?.csv",
         nullptr},  // the folder is missing: created by the next start
    };
    for (const auto& [url, folder, fileName, content] : cases) {
        fakes.savePanel.confirm(std::string(folder) + fileName);
        recorder().changeSaveAs();
        EXPECT_EQ(recorder().filePath(), folder) << url;
        EXPECT_EQ(recorder().saveFileName(), fileName) << url;
        EXPECT_EQ(fakes.userDefaults.string("saveFilePath"), url);
        const std::string path = std::string(folder) + fileName;
        EXPECT_EQ(fakes.fileSystem.exists(path), content != nullptr) << url;
        EXPECT_EQ(fakes.fileSystem.content(path), content ? content : "") << url;
    }
}

}  // namespace
}  // namespace tesuko
