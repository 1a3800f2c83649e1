#include <gtest/gtest.h>

#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using LoginItemTest = RecorderTest;
using Items = std::vector<std::optional<std::string>>;

const std::string kAddedLine = "tesukoをログイン項目に追加したぜ！";

TEST_F(LoginItemTest, AnItemThatBeginsWithTheProgramPathCounts) {
    struct Case {
        Items items;
        bool expected;
    };
    const std::string bundle = fakes.loginItems.bundle;
    const Case cases[] = {
        {{}, false},
        {{bundle}, true},
        {{bundle + "/inside"}, true},
        {{bundle + "-old"}, true},  // plain text, not whole path components
        {{std::nullopt, std::nullopt, "/usr/bin/other", bundle}, true},
        {{std::nullopt, "/usr/bin/other"}, false},
        {{"/opt/tesuko/bin/tesuk"}, false},
        {{"/OPT/TESUKO/BIN/TESUKO"}, false},
    };
    for (const Case& c : cases) {
        fakes.loginItems.items = c.items;
        EXPECT_EQ(recorder().isEnableLoginItem(), c.expected) << ::testing::PrintToString(c.items);
    }
}

TEST_F(LoginItemTest, AnUnknownProgramPathMatchesNothing) {
    fakes.loginItems.bundle = "";
    fakes.loginItems.items = {"/usr/bin/other"};
    EXPECT_FALSE(recorder().isEnableLoginItem());
}

TEST_F(LoginItemTest, EnablingAddsTheProgramLastAndLogs) {
    fakes.loginItems.items = {"/usr/bin/other"};
    recorder();
    fakes.systemLog.lines.clear();
    recorder().enableLoginItem();

    EXPECT_EQ(fakes.loginItems.items, (Items{"/usr/bin/other", fakes.loginItems.bundle}));
    EXPECT_EQ(fakes.systemLog.lines, std::vector<std::string>{kAddedLine});
    EXPECT_TRUE(recorder().isEnableLoginItem());
}

TEST_F(LoginItemTest, AFailedInsertionLogsItsReasonAndNoSuccess) {
    fakes.loginItems.failInsert = true;
    recorder();
    fakes.systemLog.lines.clear();
    EXPECT_FALSE(recorder().enableLoginItem());

    ASSERT_EQ(fakes.systemLog.lines.size(), 1u);
    EXPECT_NE(fakes.systemLog.lines[0].find("Permission denied"), std::string::npos);
    EXPECT_FALSE(recorder().isEnableLoginItem());
}

}  // namespace
}  // namespace tesuko
