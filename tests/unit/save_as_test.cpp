// SPDX-License-Identifier: GPL-3.0-or-later
// Where the log goes: choosing it with Save Log As.
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

// A stopped recorder at its default location, as the save-as command finds it.
class SaveAsTest : public RecorderTest {
  protected:
    void SetUp() override { recorder(); }
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
        EXPECT_EQ(fakes.userDefaults.string("saveFilePath"), url);
        const std::string path = std::string(folder) + fileName;
        EXPECT_EQ(fakes.fileSystem.exists(path), content != nullptr) << url;
        EXPECT_EQ(fakes.fileSystem.content(path), content ? content : "") << url;
    }
}

}  // namespace
}  // namespace tesuko
