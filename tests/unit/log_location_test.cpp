// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_location.h"

#include <gtest/gtest.h>

#include "settings/setting.h"
#include "tests/fakes/fake_home_folder.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/fakes/fake_user_defaults.h"

namespace tesuko {
namespace {

// The log lives in the desktop folder of the user's language until a file
// is chosen; a log chosen before, in ~/Desktop, stays where it is.
TEST(LogLocationTest, TheDefaultLogIsOnTheDesktopAndAChosenOneStays) {
    const struct {
        std::optional<std::string> stored;
        const char* log;
    } cases[] = {
        {std::nullopt, "/home/u/デスクトップ/TESUKO/log.csv"},
        {"file:///home/u/Desktop/TESUKO/log.csv", "/home/u/Desktop/TESUKO/log.csv"},
        {"/home/u/Desktop/TESUKO/log.csv", "/home/u/Desktop/TESUKO/log.csv"},
    };
    for (const auto& c : cases) {
        FakeHomeFolder home("/home/u", "/home/u/デスクトップ");
        FakeUserDefaults defaults;
        FakeSystemLog systemLog;
        if (c.stored) {
            defaults.set(Setting::kSaveFilePathKey, *c.stored);
        }
        EXPECT_EQ(logPath(defaults, systemLog, home), c.log) << c.stored.value_or("none");
    }
}

}  // namespace
}  // namespace tesuko
