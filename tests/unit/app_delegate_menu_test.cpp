// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cerrno>

#include "tests/unit/app_delegate_fixture.h"

namespace tesuko {
namespace {

const ItemView kStartLoaded{MenuCommand::StartRecord, false};
const ItemView kStopLoaded{MenuCommand::StopRecord, false};
const ItemView kSaveAsLoaded{MenuCommand::SaveAs, false};
const ItemView kLoginLoaded{MenuCommand::OpenAtLogin, false};
const ItemView kDisabledOff{std::nullopt, false};
const ItemView kDisabledOn{std::nullopt, true};

// One row of the menu's behaviour: what a sequence of events leaves each item as.
struct MenuRow {
    const char* events;
    ItemView start, stop, saveAs, openAtLogin;
    bool recording;
    int savePanelsShown;
};

TEST(AppDelegateMenuTest, EachEventLeavesTheItemsAsTheStateAllows) {
    const MenuRow rows[] = {
        {"launch", kStartLoaded, kDisabledOff, kSaveAsLoaded, kLoginLoaded, false, 0},
        {"login", kDisabledOn, kStopLoaded, kDisabledOff, kDisabledOn, true, 0},
        {"launch start", kDisabledOn, kStopLoaded, kDisabledOff, kLoginLoaded, true, 0},
        {"launch start stop", kStartLoaded, kDisabledOff, kSaveAsLoaded, kLoginLoaded, false, 0},
        {"launch save", kStartLoaded, kDisabledOff, kSaveAsLoaded, kLoginLoaded, false, 1},
        {"launch oal", kStartLoaded, kDisabledOff, kSaveAsLoaded, kDisabledOn, false, 0},
        {"launch start oal", kDisabledOn, kStopLoaded, kDisabledOff, kDisabledOn, true, 0},
        {"launch refuse oal", kStartLoaded, kDisabledOff, kSaveAsLoaded, kLoginLoaded, false, 0},
        {"launch stop", kStartLoaded, kDisabledOff, kSaveAsLoaded, kLoginLoaded, false, 0},
        {"login start save oal", kDisabledOn, kStopLoaded, kDisabledOff, kDisabledOn, true, 0},
    };
    for (const MenuRow& row : rows) {
        SCOPED_TRACE(row.events);
        DelegateOverFakes c;
        FakeSessionEvents session;
        play(c, session, row.events);
        EXPECT_EQ(c.view(MenuItem::StartRecord), row.start);
        EXPECT_EQ(c.view(MenuItem::StopRecord), row.stop);
        EXPECT_EQ(c.view(MenuItem::SaveAs), row.saveAs);
        // Sharing moves the log as Save Log As does: only while stopped.
        EXPECT_EQ(c.view(MenuItem::ShareWithOtherMachines).action.has_value(),
                  row.saveAs.action.has_value());
        EXPECT_EQ(c.view(MenuItem::OpenAtLogin), row.openAtLogin);
        EXPECT_EQ(c.delegate.recorder().isRun(), row.recording);
        EXPECT_EQ(c.fakes.workspace.isSubscribed(), row.recording);
        EXPECT_EQ(c.fakes.inputMonitors.installedCount(), row.recording ? 3u : 0u);
        EXPECT_EQ(c.fakes.savePanel.runs, row.savePanelsShown);
        EXPECT_EQ(c.menu.status.state,
                  row.recording ? RecordingState(Recording{}) : RecordingState(Stopped{}));
    }
}

TEST_F(AppDelegateTest, TheToolTipSaysWhileRecordsCannotBeWritten) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    launch();
    menu.choose(MenuItem::StartRecord);
    const FileFault full(FileFault::Cause::system, ENOSPC);
    fakes.fileSystem.writeFailure = full;
    fakes.workspace.switchTo("Browser");
    const LogProblem unwritten{LogProblem::Doing::writingRecord, kDelegateLog, full};
    EXPECT_EQ(menu.status.state, RecordingState(Recording{unwritten, true}));

    fakes.fileSystem.writeFailure.reset();
    fakes.workspace.switchTo("Editor");
    EXPECT_EQ(menu.status.state, RecordingState(Recording{}));
}

TEST_F(AppDelegateTest, ALogChosenWhileStoppedIsTakenUpByTheNextStart) {
    launch();
    Recorder* first = &delegate.recorder();
    fakes.fileSystem.createDirectories("/home/user/Documents");
    EXPECT_EQ(menu.logPath, kDelegateLog);
    fakes.savePanel.confirm("/home/user/Documents/work.csv");
    menu.choose(MenuItem::SaveAs);
    EXPECT_EQ(menu.logPath, "/home/user/Documents/work.csv") << "the tooltip, at once";
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    menu.choose(MenuItem::StartRecord);
    EXPECT_EQ(&delegate.recorder(), first);

    fakes.workspace.switchTo("Browser");
    EXPECT_NE(fakes.fileSystem.content("/home/user/Documents/work.csv").find(",Editor,Notes,"),
              std::string::npos);
    EXPECT_EQ(fakes.fileSystem.content(kDelegateLog), "");
    menu.open();
    EXPECT_NE(title(MenuItem::Rank1).find("Editor"), std::string::npos) << "ranked from it too";
}

TEST_F(AppDelegateTest, OpenAtLoginAddsTheProgramOnceAndTheNextLaunchRecords) {
    launch();
    menu.choose(MenuItem::OpenAtLogin);
    menu.choose(MenuItem::OpenAtLogin);
    ASSERT_EQ(fakes.loginItems.items.size(), 1u);

    DelegateOverFakes next;
    next.fakes.loginItems.items = fakes.loginItems.items;
    next.launch();
    EXPECT_TRUE(next.delegate.recorder().isRun());
}

// An ending session may still be cancelled: it gets the interval so far and
// recording goes on; quitting writes the rest; neither writes while stopped.
TEST_F(AppDelegateTest, EveryWayOutWritesTheIntervalInProgressOnce) {
    delegate.applicationWillTerminate();  // before launch: nothing to stop
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    launchAsLoginItem();
    fakes.inputMonitors.deliver(kKeyDownMask);
    fakes.clock.advance(std::chrono::seconds(5));
    delegate.writeIntervalInProgress();
    EXPECT_TRUE(delegate.recorder().isRun());
    fakes.clock.advance(std::chrono::milliseconds(2250));
    delegate.applicationWillTerminate();
    EXPECT_FALSE(fakes.workspace.isSubscribed());
    delegate.writeIntervalInProgress();
    delegate.applicationWillTerminate();

    const std::string log = fakes.fileSystem.content(kDelegateLog);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_NE(log.find(",Editor,Notes,0,1,5.000000\n"), std::string::npos) << log;
    EXPECT_NE(log.find(",Editor,Notes,0,0,2.250000\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace tesuko
