#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using LoginItemTest = RecorderTest;

TEST_F(LoginItemTest, EnablingAddsTheProgramLastOrLogsWhyItCouldNot) {
    fakes.loginItems.items = {"/usr/bin/other"};
    EXPECT_TRUE(recorder().enableLoginItem());
    EXPECT_EQ(fakes.loginItems.items,
              (std::vector<std::optional<std::string>>{"/usr/bin/other", fakes.loginItems.bundle}));
    EXPECT_TRUE(recorder().isEnableLoginItem());
    fakes.loginItems.failInsert = true;
    EXPECT_FALSE(recorder().enableLoginItem());
    EXPECT_NE(fakes.systemLog.lines.back().find("Permission denied"), std::string::npos);
}

}  // namespace
}  // namespace tesuko
