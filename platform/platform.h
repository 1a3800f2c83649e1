// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/alarm.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/idle_watch.h"
#include "platform/input_monitors.h"
#include "platform/login_items.h"
#include "platform/privacy_editor.h"
#include "platform/save_panel.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

namespace tesuko {

// The services the core reaches the desktop through. They outlive every user.
struct Platform {
    Workspace& workspace;
    WindowList& windowList;
    InputMonitors& inputMonitors;
    IdleWatch& idleWatch;
    FileSystem& fileSystem;
    UserDefaults& userDefaults;
    SavePanel& savePanel;
    LoginItems& loginItems;
    SystemLog& systemLog;
    Clock& clock;
    HomeFolder& homeFolder;
    // The front end's: without one, a timed pause never ends by itself and
    // "Privacy…" shows nothing.
    Alarm& alarm = noAlarm();
    PrivacyEditor& privacyEditor = noPrivacyEditor();
};

}  // namespace tesuko
