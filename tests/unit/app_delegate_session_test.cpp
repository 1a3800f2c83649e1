#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fakes/fake_session_events.h"
#include "tests/unit/app_delegate_fixture.h"

namespace tesuko {
namespace {

using std::chrono::seconds;

// Recording since launch with Editor in front; each row is what happens next
// and the records (title field onwards) and tooltip that leaves. Time away
// from the desk, behind a locked screen or asleep is in no application.
struct AwayRow {
    const char* events;
    std::function<void(DelegateOverFakes&, FakeSessionEvents&)> run;
    std::vector<std::string> records;
    const char* toolTip;
};

void wait(DelegateOverFakes& c, int s) {
    c.fakes.clock.advance(seconds(s));
}

TEST(AppDelegateSessionTest, AwayTimeWritesNoRecord) {
    const AwayRow rows[] = {
        {"lock, unlock",
         [](auto& c, auto& session) {
             wait(c, 3);
             session.lock(true);
             wait(c, 600);
             session.lock(true);  // repeated: harmless
             c.fakes.workspace.switchTo("Browser");
             session.lock(false);
             wait(c, 2);
             c.fakes.workspace.switchTo("Editor");
         },
         {"Editor,Notes,0,0,3.000000", "Browser,News,0,0,2.000000"},
         "Recording"},
        {"unlock without a lock changes nothing",
         [](auto& c, auto& session) {
             session.lock(false);
             wait(c, 4);
             c.fakes.workspace.switchTo("Browser");
         },
         {"Editor,Notes,0,0,4.000000"},
         "Recording"},
        {"asleep while locked: back only when both are over",
         [](auto& c, auto& session) {
             wait(c, 1);
             session.lock(true);
             session.sleep(true);
             wait(c, 3600);
             session.sleep(false);
         },
         {"Editor,Notes,0,0,1.000000"},
         "Paused: screen locked"},
        {"idle ends at the last input, not when the threshold passed",
         [](auto& c, auto&) {
             wait(c, 10);
             auto lastInput = c.fakes.clock.monotonicNow();
             wait(c, 300);
             c.delegate.idleChanged(true, lastInput);
             wait(c, 50);
             c.delegate.idleChanged(false, c.fakes.clock.monotonicNow() - seconds(20));
             wait(c, 20);
             c.fakes.workspace.switchTo("Browser");
         },
         {"Editor,Notes,0,0,10.000000", "Editor,Notes,0,0,40.000000"},
         "Recording"},
        {"idle while stopped stays stopped",
         [](auto& c, auto&) {
             c.menu.choose(MenuItem::StopRecord);
             c.delegate.idleChanged(true, c.fakes.clock.monotonicNow());
             c.delegate.idleChanged(false, c.fakes.clock.monotonicNow());
         },
         {"Editor,Notes,0,0,0.000000"},
         "Stopped"},
    };
    for (const AwayRow& row : rows) {
        SCOPED_TRACE(row.events);
        DelegateOverFakes c;
        FakeSessionEvents session;
        c.fakes.workspace.setActiveApplication("Editor");
        c.fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
        c.launchAsLoginItem();
        c.delegate.followSession(session);
        row.run(c, session);
        std::vector<std::string> records;
        std::istringstream lines(c.fakes.fileSystem.content(kDelegateLog));
        for (std::string line; std::getline(lines, line);) {
            records.push_back(line.substr(line.find(',') + 1));
        }
        EXPECT_EQ(records, row.records);
        EXPECT_EQ(c.menu.toolTip, row.toolTip);
    }
}

}  // namespace
}  // namespace tesuko
