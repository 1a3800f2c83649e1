#include <gtest/gtest.h>

#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

const std::string kFirstRecord = "2026年12月05日 13時40分48秒,Editor,Notes,0,0,2.000000\n";

// A stopped recorder at its default location, as the save-as command finds it.
class SaveAsTest : public RecorderTest {
  protected:
    void SetUp() override {
        fakes.workspace.setActiveApplication("Editor");
        recorder();
        fakes.systemLog.lines.clear();
    }

    // The next start of recording, then one switch that closes the first interval.
    void recordOneSwitch() {
        fakes.windowList.setWindows({{"Editor", "Notes"}});
        recorder().init();
        recorder().run();
        advance(2);
        fakes.workspace.switchTo("Browser");
    }

    std::optional<std::string> stored() { return fakes.userDefaults.string("saveFilePath"); }
};

TEST_F(SaveAsTest, OffersTheTwoAllowedTypes) {
    fakes.savePanel.cancel();
    recorder().changeSaveAs();
    EXPECT_EQ(fakes.savePanel.lastAllowedFileTypes, (std::vector<std::string>{"csv", "'CSV'"}));
}

TEST_F(SaveAsTest, CancelOnlyLogsAndChangesNothing) {
    fakes.savePanel.confirm("file:///home/user/first.csv");
    recorder().changeSaveAs();
    fakes.systemLog.lines.clear();

    fakes.savePanel.cancel();
    recorder().changeSaveAs();

    EXPECT_EQ(fakes.systemLog.lines, std::vector<std::string>{"Cancel button was pressed."});
    EXPECT_EQ(recorder().filePath(), "/home/user/");
    EXPECT_EQ(recorder().saveFileName(), "first.csv");
    EXPECT_EQ(stored(), "file:///home/user/first.csv");
}

TEST_F(SaveAsTest, AnUnexpectedPanelResultIsNoChoiceWithoutALine) {
    fakes.savePanel.answers.push_back({2, "file:///home/user/other.csv"});
    recorder().changeSaveAs();
    EXPECT_TRUE(fakes.systemLog.lines.empty());
    EXPECT_EQ(recorder().filePath(), kDefaultLog);
    EXPECT_EQ(stored(), std::nullopt);
}

TEST_F(SaveAsTest, WorkedExampleLogsItsFiveLinesInOrder) {
    fakes.fileSystem.createDirectories("/Users/user/My Logs");
    fakes.savePanel.confirm("file:///Users/user/My%20Logs/week%201.csv");
    recorder().changeSaveAs();

    EXPECT_EQ(fakes.systemLog.lines,
              (std::vector<std::string>{
                  "file saved 'file:///Users/user/My%20Logs/week%201.csv'",
                  "書き込みましたfile:///Users/user/My%20Logs/week%201.csv書き込み",
                  "createFilePath",
                  "week 1.csv",
                  "file saved '/Users/user/My Logs/'",
              }));
    EXPECT_EQ(recorder().filePath(), "/Users/user/My Logs/");
    EXPECT_EQ(recorder().saveFileName(), "week 1.csv");
    EXPECT_EQ(stored(), "file:///Users/user/My%20Logs/week%201.csv") << "stored as given";
    EXPECT_TRUE(fakes.fileSystem.exists("/Users/user/My Logs/week 1.csv"));
}

TEST_F(SaveAsTest, AFileInTheRootFolder) {
    fakes.savePanel.confirm("file:///log.csv");
    recorder().changeSaveAs();
    EXPECT_EQ(recorder().filePath(), "/");
    EXPECT_EQ(recorder().saveFileName(), "log.csv");
    EXPECT_TRUE(fakes.fileSystem.exists("/log.csv"));
}

TEST_F(SaveAsTest, AnExistingFileKeepsItsContentAndTheNextRecordFollowsIt) {
    fakes.fileSystem.addFile("/home/user/old.csv", "earlier line\n");
    fakes.savePanel.confirm("file:///home/user/old.csv");
    recorder().changeSaveAs();

    EXPECT_FALSE(logged("createFilePath"));
    EXPECT_EQ(log("/home/user/old.csv"), "earlier line\n");

    recordOneSwitch();
    EXPECT_EQ(log("/home/user/old.csv"), "earlier line\n" + kFirstRecord);
    EXPECT_EQ(log(), "") << "nothing more at the default location";
}

TEST_F(SaveAsTest, TheSecondConfirmationWinsAndTheFirstFileStaysEmpty) {
    fakes.savePanel.confirm("file:///home/user/first.csv");
    fakes.savePanel.confirm("file:///home/user/logs/second.csv");
    fakes.fileSystem.createDirectories("/home/user/logs");
    recorder().changeSaveAs();
    recorder().changeSaveAs();

    EXPECT_EQ(recorder().filePath(), "/home/user/logs/");
    EXPECT_EQ(recorder().saveFileName(), "second.csv");
    EXPECT_EQ(stored(), "file:///home/user/logs/second.csv");
    EXPECT_TRUE(logged("書き込みましたfile:///home/user/logs/second.csv書き込み"));

    recordOneSwitch();
    EXPECT_EQ(log("/home/user/first.csv"), "");
    EXPECT_EQ(log("/home/user/logs/second.csv"), kFirstRecord);
}

TEST_F(SaveAsTest, EveryEscapeIsDecodedInTheFolderAndTheFileName) {
    struct Case {
        const char* url;
        const char* folder;
        const char* fileName;
    };
    const Case cases[] = {
        {"file:///home/user/%E3%80%80a%E3%80%80/%E3%80%80b.csv", "/home/user/\u3000a\u3000/",
         "\u3000b.csv"},
        {"file:///home/user/%E6%97%A5%E6%9C%AC/%E8%A8%98%E9%8C%B2.csv", "/home/user/日本/",
         "記録.csv"},
        {"file:///home/user/100%25%20done/%23%3F.csv", "/home/user/100% done/", "#?.csv"},
    };
    for (const Case& c : cases) {
        fakes.savePanel.confirm(c.url);
        recorder().changeSaveAs();
        EXPECT_EQ(recorder().filePath(), c.folder) << c.url;
        EXPECT_EQ(recorder().saveFileName(), c.fileName) << c.url;
        EXPECT_EQ(stored(), c.url);
    }
}

TEST_F(SaveAsTest, ADecodedMissingFolderIsCreatedByTheNextStart) {
    fakes.savePanel.confirm("file:///home/user/%E6%97%A5%E6%9C%AC%E3%80%80/%E9%80%B1.csv");
    recorder().changeSaveAs();
    EXPECT_TRUE(logged("createFilePath"));
    EXPECT_FALSE(fakes.fileSystem.exists("/home/user/日本\u3000/週.csv"))
        << "the chooser creates no folder";

    recordOneSwitch();
    EXPECT_EQ(log("/home/user/日本\u3000/週.csv"), kFirstRecord);
    EXPECT_FALSE(fakes.fileSystem.exists("/home/user/%E6%97%A5%E6%9C%AC%E3%80%80"));
}

}  // namespace
}  // namespace tesuko
