#include "settings/setting.h"

#include <gtest/gtest.h>

#include "settings/file_url.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/fakes/fake_user_defaults.h"

namespace tesuko {
namespace {

TEST(Setting, NothingStoredGivesNothing) {
    FakeUserDefaults defaults;
    FakeSystemLog log;
    EXPECT_EQ(Setting(defaults, log).getFilePath(), std::nullopt);
}

TEST(Setting, WritesThroughLogsTheReadBackAndOtherSettingsSeeIt) {
    FakeUserDefaults defaults;
    FakeSystemLog log;
    Setting writer(defaults, log);
    writer.setFilePath("file:///a/first.csv");
    writer.setFilePath("file:///a/My%20Logs/second.csv");

    EXPECT_EQ(defaults.synchronizeCount, 2);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[1], "書き込みましたfile:///a/My%20Logs/second.csv書き込み");
    EXPECT_EQ(Setting(defaults, log).getFilePath(), "file:///a/My Logs/second.csv");
    EXPECT_EQ(defaults.values["saveFilePath"], "file:///a/My%20Logs/second.csv")
        << "the stored text stays encoded";
}

// A store whose file cannot be written: values live only in memory.
class UnwritableUserDefaults : public FakeUserDefaults {
  public:
    bool synchronize() override { return false; }
};

TEST(Setting, AStoreThatCannotBeWrittenIsReportedAfterTheUsualLine) {
    UnwritableUserDefaults defaults;
    FakeSystemLog log;
    Setting(defaults, log).setFilePath("file:///a/log.csv");

    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "書き込みましたfile:///a/log.csv書き込み");
    EXPECT_NE(log.lines[1].find("Could not save the log location"), std::string::npos);
    EXPECT_EQ(Setting(defaults, log).getFilePath(), "file:///a/log.csv") << "kept for this run";
}

TEST(PercentDecode, DecodesEveryWellFormedEscapeAndKeepsMalformedOnes) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"file:///Users/user/My%20Logs/log.csv", "file:///Users/user/My Logs/log.csv"},
        {"%E3%80%80dir%E3%80%80/a%E3%80%80.csv", "\u3000dir\u3000/a\u3000.csv"},
        {"%e3%80%80", "\u3000"},
        {"%E6%97%A5%E6%9C%AC", "日本"},
        {"100%25", "100%"},
        {"%2520", "%20"},  // decoded once, not twice
        {"%G1", "%G1"},
        {"ends with %", "ends with %"},
        {"%4", "%4"},
        {"%%41", "%A"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(percentDecode(c.in), c.out) << c.in;
    }
}

TEST(FileUrl, SplitsIntoFolderAndFileName) {
    struct Case {
        const char* text;
        const char* folder;
        const char* fileName;
        const char* path;
    };
    const Case cases[] = {
        {"file:///Users/user/My%20Logs/log.csv", "/Users/user/My%20Logs/", "log.csv",
         "/Users/user/My%20Logs/log.csv"},
        {"file:///log.csv", "/", "log.csv", "/log.csv"},
        {"file://log.csv", "/", "log.csv", "/"},
        {"log.csv", "/", "log.csv", "/"},
        {"file:///a//b/", "/a//b/", "", "/a//b/"},
    };
    for (const Case& c : cases) {
        FolderAndFile split = splitFolderAndFile(c.text);
        EXPECT_EQ(split.folder, c.folder) << c.text;
        EXPECT_EQ(split.fileName, c.fileName) << c.text;
        EXPECT_EQ(pathFromUrlText(c.text), c.path) << c.text;
    }
}

}  // namespace
}  // namespace tesuko
