// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"
#include "report/date_range.h"
#include "report/report_output.h"

namespace tesuko {

// `tesuko report ...`: time per application over a range of days, in a
// terminal or for another program, without a display.
struct ReportOptions {
    // A period, or days from since to until (both included).
    std::optional<Period> period;
    std::optional<std::int32_t> since;
    std::optional<std::int32_t> until;
    Grouping grouping = Grouping::application;
    std::optional<std::size_t> top;
    ReportFormat format = ReportFormat::table;
    std::vector<std::string> logs;  // the log the tray records when none
    bool help = false;
};

// The options, or what is wrong with the arguments ("report" first).
std::variant<ReportOptions, std::string> parseReportArguments(std::span<const std::string> args);

// What the command reads and writes through.
struct ReportServices {
    FileSystem& fileSystem;
    UserDefaults& defaults;
    SystemLog& systemLog;
    HomeFolder& home;
    Clock& clock;        // for today
    std::string locale;  // ICU id, for the first day of the week
};

// Returns the exit status: 0 (also for a range without records), 1 when a log
// cannot be read, 2 for bad arguments.
int runReportCommand(const std::vector<std::string>& args, ReportServices services,
                     std::ostream& out, std::ostream& err);

}  // namespace tesuko
