// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/platform.h"
#include "tests/fakes/fake_alarm.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_home_folder.h"
#include "tests/fakes/fake_idle_watch.h"
#include "tests/fakes/fake_input_monitors.h"
#include "tests/fakes/fake_login_items.h"
#include "tests/fakes/fake_privacy_editor.h"
#include "tests/fakes/fake_save_panel.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/fakes/fake_user_defaults.h"
#include "tests/fakes/fake_window_list.h"
#include "tests/fakes/fake_workspace.h"

namespace tesuko {

// Every service faked, wired into one Platform.
struct FakePlatform {
    explicit FakePlatform(std::string home = "/home/user") : homeFolder(std::move(home)) {
        fileSystem.createDirectories(homeFolder.path());
    }

    FakeWorkspace workspace;
    FakeWindowList windowList;
    FakeInputMonitors inputMonitors;
    FakeIdleWatch idleWatch;
    FakeFileSystem fileSystem;
    FakeUserDefaults userDefaults;
    FakeSavePanel savePanel;
    FakeLoginItems loginItems;
    FakeSystemLog systemLog;
    FakeClock clock;
    FakeHomeFolder homeFolder;
    FakeAlarm alarm;
    FakePrivacyEditor privacyEditor;

    Platform platform{workspace,    windowList, inputMonitors, idleWatch, fileSystem,
                      userDefaults, savePanel,  loginItems,    systemLog, clock,
                      homeFolder,   alarm,      privacyEditor};
};

}  // namespace tesuko
