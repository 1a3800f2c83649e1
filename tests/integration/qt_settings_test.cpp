#include <gtest/gtest.h>

#include <QSettings>
#include <filesystem>

#include "platform/qt/qt_user_defaults.h"
#include "settings/setting.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/integration/temp_dir.h"
#include "tests/integration/xdg_scoped_env.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

// The per-user store under a temporary $XDG_CONFIG_HOME.
class QtSettingsTest : public ::testing::Test {
  protected:
    QtSettingsTest() { env.set("XDG_CONFIG_HOME", tmp.path()); }

    std::string file() const { return tmp / "tesuko/tesuko.conf"; }

    TempDir tmp;
    ScopedEnv env;
};

TEST_F(QtSettingsTest, LivesInTheConfigFolderOfTheUser) {
    QtUserDefaults defaults;
    EXPECT_EQ(defaults.fileName().toStdString(), file());
    EXPECT_EQ(defaults.string("saveFilePath"), std::nullopt) << "nothing stored yet";
    defaults.set("saveFilePath", "file:///home/u/log.csv");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_NE(readFile(file()).find("saveFilePath="), std::string::npos) << readFile(file());
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(tmp / "tesuko").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(QtSettingsTest, TextsComeBackAsWrittenThroughOtherInstancesAndQSettings) {
    const std::string values[] = {
        "file:///Users/user/My%20Logs/log.csv",
        "file:///home/u/日本語\u3000フォルダ/記録.csv",
        "100% %E3%80%80 %25",
        "a, b, c",
        " leading and trailing ",
        "quotes \" ' and \\ backslash ; # = [x]",
        "line\nbreak",
        "",
    };
    for (const std::string& value : values) {
        {
            QtUserDefaults writer;
            writer.set("saveFilePath", value);
            ASSERT_TRUE(writer.synchronize());
        }
        EXPECT_EQ(QtUserDefaults().string("saveFilePath"), value);
        QSettings raw(QString::fromStdString(file()), QSettings::IniFormat);
        EXPECT_EQ(raw.value("saveFilePath").toString().toStdString(), value);
    }
}

TEST_F(QtSettingsTest, OneSettingWritesWhatAnotherLaterOneReads) {
    FakeSystemLog log;
    QtUserDefaults first;
    Setting(first, log).setFilePath("file:///home/u/%E6%97%A5%E6%9C%AC/a%20b.csv");
    EXPECT_EQ(log.lines.back(),
              "書き込みましたfile:///home/u/%E6%97%A5%E6%9C%AC/a%20b.csv書き込み");

    QtUserDefaults second;
    EXPECT_EQ(Setting(second, log).getFilePath(), "file:///home/u/日本/a b.csv");
}

TEST_F(QtSettingsTest, AValueThatIsNotATextGivesNothing) {
    const std::string files[] = {
        "[General]\nsaveFilePath=@ByteArray(abc)\n",
        "[General]\nsaveFilePath=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n",
        "[General]\nsaveFilePath=one, two\n",
        std::string("\0\xff\xfe garbage \x01[[[=\n==\n", 21),
        "[General]\nsavefilepath=other case\n",
    };
    for (const std::string& content : files) {
        fs::create_directories(tmp / "tesuko");
        writeFile(file(), content);
        EXPECT_EQ(QtUserDefaults().string("saveFilePath"), std::nullopt) << content;
    }
}

TEST_F(QtSettingsTest, AnUnreadableStoreGivesNothingAndReportsTheFailedWrite) {
    fs::create_directories(file());  // a folder where the file should be
    QtUserDefaults defaults;
    EXPECT_EQ(defaults.string("saveFilePath"), std::nullopt);
    defaults.set("saveFilePath", "file:///kept/in/memory.csv");
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(defaults.string("saveFilePath"), "file:///kept/in/memory.csv");
}

TEST_F(QtSettingsTest, AStoreThatCannotBeCreatedReportsIt) {
    writeFile(tmp / "plain-file", "");
    env.set("XDG_CONFIG_HOME", tmp / "plain-file");
    QtUserDefaults defaults;
    defaults.set("saveFilePath", "file:///a.csv");
    EXPECT_FALSE(defaults.synchronize());
}

}  // namespace
}  // namespace tesuko
