#pragma once

#include <string>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_home_folder.h"
#include "platform/fake/fake_input_monitors.h"
#include "platform/fake/fake_login_items.h"
#include "platform/fake/fake_save_panel.h"
#include "platform/fake/fake_system_log.h"
#include "platform/fake/fake_user_defaults.h"
#include "platform/fake/fake_window_list.h"
#include "platform/fake/fake_workspace.h"
#include "platform/platform.h"

namespace tesuko {

// Every service faked, wired into one Platform.
struct FakePlatform {
    explicit FakePlatform(std::string home = "/home/user") : homeFolder(std::move(home)) {
        fileSystem.createDirectories(homeFolder.path());
    }

    FakeWorkspace workspace;
    FakeWindowList windowList;
    FakeInputMonitors inputMonitors;
    FakeFileSystem fileSystem;
    FakeUserDefaults userDefaults;
    FakeSavePanel savePanel;
    FakeLoginItems loginItems;
    FakeSystemLog systemLog;
    FakeClock clock;
    FakeHomeFolder homeFolder;

    Platform platform{workspace, windowList, inputMonitors, fileSystem, userDefaults,
                      savePanel, loginItems, systemLog,     clock,      homeFolder};
};

}  // namespace tesuko
