// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "fakes/fake_alarm.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_idle_watch.h"
#include "fakes/fake_input_monitors.h"
#include "fakes/fake_login_items.h"
#include "fakes/fake_privacy_editor.h"
#include "fakes/fake_save_panel.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "fakes/fake_window_list.h"
#include "fakes/fake_workspace.h"
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
