// Where the log goes: the stored location, and choosing it with Save Log As.
#include "settings/setting.h"

#include "settings/file_url.h"
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

// A store whose file cannot be written: values live only in memory.
class UnwritableUserDefaults : public FakeUserDefaults {
  public:
    bool synchronize() override { return false; }
};

// The choice holds until the program ends; that the next start will not know it is said.
TEST(Setting, AStoreThatCannotBeWrittenIsSaidAndKeptForThisRun) {
    UnwritableUserDefaults store;
    FakeSystemLog log;
    Setting(store, log).setFilePath("file:///a/My%20Logs/log.csv");
    EXPECT_EQ(Setting(store, log).getFilePath(), "file:///a/My Logs/log.csv");
    EXPECT_EQ(log.priorities.back(), SystemLog::Priority::error);
}

TEST(PercentDecode, DecodesEveryWellFormedEscapeOnceAndKeepsMalformedOnes) {
    EXPECT_EQ(percentDecode("%E3%80%80a%e3%80%80 100%25 %2520"), "\u3000a\u3000 100% %20");
    EXPECT_EQ(percentDecode("%G1 %4 %%41 ends with %"), "%G1 %4 %A ends with %");
}

// A stopped recorder at its default location, as the save-as command finds it.
class SaveAsTest : public RecorderTest {
  protected:
    void SetUp() override { recorder(); }
    std::optional<std::string> stored() { return fakes.userDefaults.string("saveFilePath"); }
};

TEST_F(SaveAsTest, TheChoiceIsStoredAsGivenUsedDecodedAndCreatedWithoutFolders) {
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
        fakes.savePanel.confirm(url);
        recorder().changeSaveAs();
        EXPECT_EQ(recorder().filePath(), folder) << url;
        EXPECT_EQ(recorder().saveFileName(), fileName) << url;
        EXPECT_EQ(stored(), url);
        const std::string path = std::string(folder) + fileName;
        EXPECT_EQ(fakes.fileSystem.exists(path), content != nullptr) << url;
        EXPECT_EQ(fakes.fileSystem.content(path), content ? content : "") << url;
    }
}

TEST_F(SaveAsTest, CancelOrAnUnexpectedPanelResultChangesNothing) {
    fakes.savePanel.confirm("file:///home/user/first.csv");
    fakes.savePanel.cancel();
    fakes.savePanel.answers.push_back({2, "file:///home/user/other.csv"});
    recorder().changeSaveAs();
    for (std::size_t linesLogged : {1u, 0u}) {
        fakes.systemLog.lines.clear();
        recorder().changeSaveAs();
        EXPECT_EQ(fakes.systemLog.lines.size(), linesLogged);
        EXPECT_EQ(recorder().filePath(), "/home/user/");
        EXPECT_EQ(recorder().saveFileName(), "first.csv");
        EXPECT_EQ(stored(), "file:///home/user/first.csv");
    }
}

}  // namespace
}  // namespace tesuko
