// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// Where the log is: decided once at start and again when the user chooses
// another file, then handed to whatever writes, reads or shows the log, so
// that records and ranking never part ways.
struct LogLocation {
    std::string folder;  // ends with "/"
    std::string fileName;
    bool isDefault = false;
    bool shared = false;  // this machine's own log in the folder shared with others

    std::string path() const { return folder + fileName; }
};

// The file at an absolute path.
LogLocation logLocationAt(const std::string& path);

// The location the settings hold, else the default one: TESUKO in the desktop
// folder, which is named in the user's language. A log made before that, in
// ~/Desktop, goes on being used as long as the settings name it. A stored
// value that is neither a file URL nor an absolute file path also means the
// default, after a line in the system log. With a shared folder set, this
// machine's own log there comes first.
LogLocation logLocationFromSettings(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home,
                                    FileSystem& fileSystem);

}  // namespace tesuko
