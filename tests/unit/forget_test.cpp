// SPDX-License-Identifier: GPL-3.0-or-later
#include <tuple>

#include "tests/scoped_env.h"
#include "tests/unit/recorder_fixture.h"

namespace tesuko {
namespace {

using namespace std::chrono;

// A log of an earlier run, the recorder started at 13:40:00 with Editor in
// front. Forget takes what was recorded in the last 15 minutes of time that
// passed, whatever the wall clock did meanwhile.
class ForgetTest : public RecorderTest {
  protected:
    ForgetTest() {
        fakes.clock.setWall(sys_days{2026y / 12 / 5} + 13h + 40min);
        fakes.workspace.setActiveApplication("Editor");
        fakes.windowList.setWindows({{"Editor", "Notes"}, {"B", "News"}});
    }

    ScopedEnv zone{"TZ", "UTC0"};  // the fake clock's local time
};

TEST_F(ForgetTest, TakesTheLastMinutesOfTimePassedWhateverTheWallClockDid) {
    const std::string earlier = "2026年12月05日 13時30分00秒,Old,x,1,2,600.000000\n";
    const std::tuple<const char*, std::vector<std::string>> rows[] = {
        // Set back an hour while B was in front, 40 minutes after the start.
        {"+1200 B +1200 wall-3600 +600 Editor",
         {"Old,x,1,2,600.000000", "Editor,Notes,0,0,1200.000000", "B,News,0,0,900.000000"}},
        // Set forward an hour: the seconds just recorded go all the same.
        {"+600 B +10 wall+3600 +20 Editor", {"Old,x,1,2,330.000000"}},
        // A pause between: B's record ended when it was written.
        {"+300 B +300 pause +900 resume +100 Editor",
         {"Old,x,1,2,600.000000", "Editor,Notes,0,0,300.000000", "B,News,0,0,300.000000"}},
    };
    for (const auto& [events, records] : rows) {
        SCOPED_TRACE(events);
        fakes.fileSystem.addFile(kDefaultLog, earlier);
        recorder().init();
        recorder().run();
        play(fakes, recorder(), events);
        ASSERT_EQ(recorder().forget(15min), std::nullopt);
        EXPECT_EQ(recordsAfterStart(log()), records);
        recorder().stop();
        destroyRecorder();
        EXPECT_FALSE(fakes.fileSystem.removeFile(kDefaultLog));
        fakes.clock.setWall(sys_days{2026y / 12 / 5} + 13h + 40min);
    }
}

// The night the clocks go back in Berlin, at 02:50 the second time: the log's
// 02:40 is read as the report reads it, the first time, an hour ago.
TEST_F(ForgetTest, ReadsARepeatedHourAsTheReportDoes) {
    zone.set("TZ", "Europe/Berlin");
    const std::string earlier =
        "2026年10月25日 02時20分00秒,A,x,1,2,600.000000\n"
        "2026年10月25日 02時40分00秒,B,x,1,2,300.000000\n"
        "2026年10月25日 02時45分00秒,C,x,1,2,120.000000\n";
    fakes.fileSystem.addFile(kDefaultLog, earlier);
    fakes.clock.setWall(sys_days{2026y / 10 / 25} + 1h + 50min);
    ASSERT_EQ(recorder().forget(15min), std::nullopt);
    EXPECT_EQ(log(), earlier);
}

}  // namespace
}  // namespace tesuko
