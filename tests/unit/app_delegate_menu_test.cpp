#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "tests/unit/app_delegate_fixture.h"

namespace tesuko {
namespace {

const ItemView kStartLoaded{MenuCommand::StartRecord, false};
const ItemView kStopLoaded{MenuCommand::StopRecord, false};
const ItemView kSaveAsLoaded{MenuCommand::SaveAs, false};
const ItemView kOpenAtLoginLoaded{MenuCommand::OpenAtLogin, false};
const ItemView kDisabledOff{std::nullopt, false};
const ItemView kDisabledOn{std::nullopt, true};

// One row of the menu's behaviour: what a sequence of events leaves each item as.
struct MenuRow {
    const char* events;
    std::function<void(DelegateOverFakes&)> run;
    ItemView start, stop, saveAs, openAtLogin;
    bool recording;
    int savePanelsShown;
};

const char* toolTipOf(bool recording) {
    return recording ? "Recording" : "Stopped";
}

void choose(DelegateOverFakes& c, MenuItem item) {
    c.menu.choose(item);
}

TEST(AppDelegateMenuTest, EachEventLeavesTheItemsAsTheStateAllows) {
    const MenuRow rows[] = {
        {"launch, not a login item", [](auto& c) { c.launch(); }, kStartLoaded, kDisabledOff,
         kSaveAsLoaded, kOpenAtLoginLoaded, false, 0},
        {"launch as a login item", [](auto& c) { c.launchAsLoginItem(); }, kDisabledOn, kStopLoaded,
         kDisabledOff, kDisabledOn, true, 0},
        {"start",
         [](auto& c) {
             c.launch();
             choose(c, MenuItem::StartRecord);
         },
         kDisabledOn, kStopLoaded, kDisabledOff, kOpenAtLoginLoaded, true, 0},
        {"start, stop",
         [](auto& c) {
             c.launch();
             choose(c, MenuItem::StartRecord);
             choose(c, MenuItem::StopRecord);
         },
         kStartLoaded, kDisabledOff, kSaveAsLoaded, kOpenAtLoginLoaded, false, 0},
        {"save as",
         [](auto& c) {
             c.launch();
             choose(c, MenuItem::SaveAs);
         },
         kStartLoaded, kDisabledOff, kSaveAsLoaded, kOpenAtLoginLoaded, false, 1},
        {"open at login while idle",
         [](auto& c) {
             c.launch();
             choose(c, MenuItem::OpenAtLogin);
         },
         kStartLoaded, kDisabledOff, kSaveAsLoaded, kDisabledOn, false, 0},
        {"open at login while recording",
         [](auto& c) {
             c.launch();
             choose(c, MenuItem::StartRecord);
             choose(c, MenuItem::OpenAtLogin);
         },
         kDisabledOn, kStopLoaded, kDisabledOff, kDisabledOn, true, 0},
        {"open at login that fails can be tried again",
         [](auto& c) {
             c.launch();
             c.fakes.loginItems.failInsert = true;
             choose(c, MenuItem::OpenAtLogin);
         },
         kStartLoaded, kDisabledOff, kSaveAsLoaded, kOpenAtLoginLoaded, false, 0},
        {"stop chosen while idle does nothing",
         [](auto& c) {
             c.launch();
             choose(c, MenuItem::StopRecord);
         },
         kStartLoaded, kDisabledOff, kSaveAsLoaded, kOpenAtLoginLoaded, false, 0},
        {"start, save as and open at login chosen while disabled do nothing",
         [](auto& c) {
             c.launchAsLoginItem();
             choose(c, MenuItem::StartRecord);
             choose(c, MenuItem::SaveAs);
             choose(c, MenuItem::OpenAtLogin);
         },
         kDisabledOn, kStopLoaded, kDisabledOff, kDisabledOn, true, 0},
    };
    for (const MenuRow& row : rows) {
        SCOPED_TRACE(row.events);
        DelegateOverFakes c;
        row.run(c);
        EXPECT_EQ(c.view(MenuItem::StartRecord), row.start);
        EXPECT_EQ(c.view(MenuItem::StopRecord), row.stop);
        EXPECT_EQ(c.view(MenuItem::SaveAs), row.saveAs);
        EXPECT_EQ(c.view(MenuItem::OpenAtLogin), row.openAtLogin);
        EXPECT_EQ(c.delegate.recorder().isRun(), row.recording);
        EXPECT_EQ(c.fakes.workspace.isSubscribed(), row.recording);
        EXPECT_EQ(c.fakes.inputMonitors.installedCount(), row.recording ? 3u : 0u);
        EXPECT_EQ(c.fakes.savePanel.runs, row.savePanelsShown);
        EXPECT_EQ(c.menu.toolTip, toolTipOf(row.recording));
    }
}

TEST_F(AppDelegateTest, TheToolTipSaysWhileRecordsCannotBeWritten) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    launch();
    menu.choose(MenuItem::StartRecord);
    fakes.fileSystem.writeFailure = "No space left on device";
    fakes.workspace.switchTo("Browser");
    EXPECT_NE(menu.toolTip.find("records cannot be written"), std::string::npos) << menu.toolTip;
    EXPECT_NE(menu.toolTip.find("No space left on device"), std::string::npos) << menu.toolTip;

    fakes.fileSystem.writeFailure.reset();
    fakes.workspace.switchTo("Editor");
    EXPECT_EQ(menu.toolTip, "Recording");
}

TEST_F(AppDelegateTest, LaunchPutsTheIconIntoTheTray) {
    launch();
    EXPECT_EQ(menu.icon, "tesuko.png");
}

TEST_F(AppDelegateTest, OnlyItsOwnEntryAmongTheLoginItemsStartsRecording) {
    fakes.loginItems.items = {"/usr/bin/other", std::nullopt, "/opt/tesuko/bin/tesuko-old"};
    fakes.loginItems.bundle = "/opt/tesuko/bin/tesuko-new";
    launch();
    EXPECT_FALSE(delegate.recorder().isRun());
    EXPECT_EQ(view(MenuItem::OpenAtLogin), kOpenAtLoginLoaded);
}

TEST_F(AppDelegateTest, ALoginItemLaunchRecordsBeforeAnyMenuOpens) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    launchAsLoginItem();
    fakes.clock.advance(std::chrono::seconds(4));
    fakes.workspace.switchTo("Browser");
    EXPECT_NE(fakes.fileSystem.content(kDelegateLog).find(",Editor,Notes,0,0,4.000000\n"),
              std::string::npos)
        << fakes.fileSystem.content(kDelegateLog);
}

TEST_F(AppDelegateTest, StartStopStartPreparesTheSameRecorderAgain) {
    launch();
    Recorder* first = &delegate.recorder();

    menu.choose(MenuItem::StartRecord);
    EXPECT_TRUE(view(MenuItem::StartRecord).on);
    menu.choose(MenuItem::StopRecord);
    EXPECT_FALSE(view(MenuItem::StartRecord).on);

    // A log file chosen while stopped is taken up by the preparation of the next start.
    fakes.fileSystem.createDirectories("/home/user/Documents");
    fakes.savePanel.confirm("file:///home/user/Documents/work.csv");
    menu.choose(MenuItem::SaveAs);
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    menu.choose(MenuItem::StartRecord);
    EXPECT_TRUE(view(MenuItem::StartRecord).on);
    EXPECT_EQ(&delegate.recorder(), first);

    fakes.clock.advance(std::chrono::seconds(2));
    fakes.workspace.switchTo("Browser");
    EXPECT_NE(fakes.fileSystem.content("/home/user/Documents/work.csv").find(",Editor,Notes,"),
              std::string::npos);
    EXPECT_EQ(fakes.fileSystem.content(kDelegateLog), "");
}

TEST_F(AppDelegateTest, OpenAtLoginAddsTheProgramOnceAndForAll) {
    launch();
    menu.choose(MenuItem::OpenAtLogin);
    menu.choose(MenuItem::OpenAtLogin);
    ASSERT_EQ(fakes.loginItems.items.size(), 1u);
    EXPECT_EQ(fakes.loginItems.items[0], fakes.loginItems.bundle);

    // The next launch finds itself among the login items.
    DelegateOverFakes next;
    next.fakes.loginItems.items = fakes.loginItems.items;
    next.launch();
    EXPECT_TRUE(next.delegate.recorder().isRun());
}

TEST_F(AppDelegateTest, TerminatingWritesTheIntervalInProgress) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    launchAsLoginItem();
    fakes.inputMonitors.deliver(kKeyDownMask);
    fakes.clock.advance(std::chrono::milliseconds(7250));
    delegate.applicationWillTerminate();

    std::string log = fakes.fileSystem.content(kDelegateLog);
    EXPECT_NE(log.find(",Editor,Notes,0,1,7.250000\n"), std::string::npos) << log;
    EXPECT_FALSE(delegate.recorder().isRun());
    EXPECT_FALSE(fakes.workspace.isSubscribed());
}

TEST_F(AppDelegateTest, AnEndingSessionGetsTheIntervalSoFarWhileRecordingGoesOn) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    launchAsLoginItem();
    fakes.clock.advance(std::chrono::seconds(5));
    delegate.writeIntervalInProgress();
    EXPECT_NE(fakes.fileSystem.content(kDelegateLog).find(",Editor,Notes,0,0,5.000000\n"),
              std::string::npos);
    EXPECT_TRUE(delegate.recorder().isRun());
    EXPECT_EQ(view(MenuItem::StopRecord), kStopLoaded);

    // The session was not ended after all: the next interval starts at the save.
    fakes.clock.advance(std::chrono::seconds(2));
    delegate.applicationWillTerminate();
    EXPECT_NE(fakes.fileSystem.content(kDelegateLog).find(",Editor,Notes,0,0,2.000000\n"),
              std::string::npos);
}

TEST_F(AppDelegateTest, TerminatingWhileIdleWritesNothing) {
    delegate.applicationWillTerminate();  // before launch: nothing to stop
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}});
    launch();
    menu.choose(MenuItem::StartRecord);
    fakes.clock.advance(std::chrono::seconds(3));
    menu.choose(MenuItem::StopRecord);
    const std::string afterStop = fakes.fileSystem.content(kDelegateLog);
    fakes.clock.advance(std::chrono::seconds(3));
    delegate.writeIntervalInProgress();
    EXPECT_FALSE(delegate.recorder().isRun());
    delegate.applicationWillTerminate();
    EXPECT_EQ(fakes.fileSystem.content(kDelegateLog), afterStop);
}

}  // namespace
}  // namespace tesuko
