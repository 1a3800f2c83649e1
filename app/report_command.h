// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// What the command reads and writes through.
struct ReportServices {
    FileSystem& fileSystem;
    UserDefaults& defaults;
    SystemLog& systemLog;
    HomeFolder& home;
    Clock& clock;        // for today
    std::string locale;  // ICU id, for the first day of the week
    std::string host{};  // this machine's name, for an ActivityWatch bucket
};

// `tesuko report ...`: time per application over a range of days, in a
// terminal or for another program, without a display. `args` are the
// arguments after the program name, "report" first. Returns the exit status:
// 0 (also for a range without records), 1 when a log cannot be read, 2 for bad
// arguments.
int runReportCommand(const std::vector<std::string>& args, ReportServices services,
                     std::ostream& out, std::ostream& err);

}  // namespace tesuko
