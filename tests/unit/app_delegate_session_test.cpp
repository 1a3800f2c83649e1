// SPDX-License-Identifier: GPL-3.0-or-later
#include <tuple>
#include <utility>

#include "tests/unit/app_delegate_fixture.h"
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

// Recording since launch with Editor in front; each row is what happens next
// and the records (after their start) and tooltip that leaves. Time behind a
// locked screen, asleep or (when asked) idle is in no application; idle time
// ends at the last input, not when the threshold passed.
TEST(AppDelegateSessionTest, AwayTimeWritesNoRecord) {
    const std::tuple<const char*, std::vector<std::string>, RecordingState> rows[] = {
        {"+3 lock +600 lock B unlock +2 E",
         {"Editor,Notes,0,0,3.000000", "Browser,News,0,0,2.000000"},
         Recording{}},
        {"unlock +4 B", {"Editor,Notes,0,0,4.000000"}, Recording{}},
        {"+1 lock sleep +3600 wake", {"Editor,Notes,0,0,1.000000"}, Away::screenLocked},
        {"pwi +310 idle-300 +50 back-20 +20 B",
         {"Editor,Notes,0,0,10.000000", "Editor,Notes,0,0,40.000000"},
         Recording{}},
        {"+310 idle-300 +50 back-20 +20 B", {"Editor,Notes,0,0,380.000000"}, Recording{}},
        {"pwi +310 idle-300", {"Editor,Notes,0,0,10.000000"}, Away::idle},
        {"pwi +310 idle-300 +5 pwi +5 B",
         {"Editor,Notes,0,0,10.000000", "Editor,Notes,0,0,5.000000"},
         Recording{}},
        {"pwi pwi +310 idle-300 +5 B", {"Editor,Notes,0,0,315.000000"}, Recording{}},
        {"pwi stop idle-0 back-0", {"Editor,Notes,0,0,0.000000"}, Stopped{}},
    };
    for (const auto& [events, records, state] : rows) {
        SCOPED_TRACE(events);
        DelegateOverFakes c;
        FakeSessionEvents session;
        c.fakes.workspace.setActiveApplication("Editor");
        c.fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
        c.launchAsLoginItem();
        c.delegate.followSession(session);
        play(c, session, events);
        EXPECT_EQ(recordsAfterStart(c.fakes.fileSystem.content(kDelegateLog)), records);
        EXPECT_EQ(c.menu.status.state, state);
    }
}

// The threshold as the settings file gives it; anything but a whole number of
// minutes in a day falls back to five, with a warning.
TEST(IdleSettingTest, TheThresholdComesFromTheSettingsFile) {
    const std::pair<std::optional<std::string>, int> cases[] = {
        {std::nullopt, 5}, {"10", 10}, {"1440", 1440}, {"0", 5},   {"1441", 5},
        {"-3", 5},         {"7.5", 5}, {"", 5},        {"abc", 5}, {" 9", 5}};
    for (const auto& [stored, minutes] : cases) {
        SCOPED_TRACE(stored.value_or("(none)"));
        DelegateOverFakes c;
        if (stored) {
            c.fakes.userDefaults.values["idleMinutes"] = *stored;
        }
        c.launchAsLoginItem();
        c.menu.choose(MenuItem::PauseWhenIdle);
        EXPECT_EQ(c.fakes.idleWatch.threshold_, std::chrono::minutes(minutes));
        EXPECT_EQ(c.fakes.userDefaults.values["pauseWhenIdle"], "true");
        EXPECT_EQ(c.fakes.userDefaults.values["idleMinutes"], stored.value_or("5"));
        const auto& logged = c.fakes.systemLog.priorities;
        EXPECT_EQ(std::count(logged.begin(), logged.end(), SystemLog::Priority::warning),
                  minutes == 5 && stored ? 1 : 0);
    }
}

}  // namespace
}  // namespace tesuko
