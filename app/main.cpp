// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/desktop/quit_command.h"
#include "app/option_parser.h"
#include "app/report_command.h"
#include "app/top_command.h"
#include "platform/posix/env_home_folder.h"
#include "platform/posix/huge_page_memory.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/sibling_program.h"
#include "platform/posix/syslog_system_log.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/user_locale.h"
#include "platform/qt_settings/qt_user_defaults.h"

namespace {

using Arguments = std::span<const std::string>;

constexpr const char* kHelp =
    "Usage: tesuko              start the tray program (one per user)\n"
    "  or:  tesuko --top [N] [--log FILE]\n"
    "                           print the first N ranking rows (5) of the activity log\n"
    "  or:  tesuko report [--today|--yesterday|--week|--month|--since DATE [--until DATE]]\n"
    "                     [--by app|day|title] [--top N]\n"
    "                     [--format table|csv|json|json-array|aw-json] [--log FILE]...\n"
    "                           print the time per application, day or window title\n"
    "                           for a range of days (DATE as YYYY-MM-DD)\n"
    "  or:  tesuko --quit       ask the running tesuko to write the interval in\n"
    "                           progress and exit\n"
    "  or:  tesuko -h, --help   show this help\n"
    "  or:  tesuko -V, --version\n"
    "                           show the version and the licence\n"
    "\n"
    "--log FILE reads that log instead of the one tesuko records. A value may also\n"
    "be joined to its option with '=': --top=3, --log=~/old.csv (~ is the home\n"
    "folder, as the shell reads it in --log ~/old.csv). -- ends the options.\n"
    "\n"
    "The activity log is TESUKO/log.csv in the desktop folder (~/Desktop in\n"
    "English) until another file is chosen with \"Save Log As…\" in the tray\n"
    "menu.\n"
    "\n"
    "What writes the interval in progress to the log:\n"
    "  - a switch to another application, an untracked one too\n"
    "  - Stop Recording, and the menu's Pause items\n"
    "  - the screen locking or the session switched away, the machine sleeping\n"
    "  - Pause When Idle, once idle: the record ends at the last input\n"
    "  - Quit, tesuko --quit, SIGTERM, SIGINT and SIGHUP\n"
    "  - logging out, and the end of the desktop (its compositor or X server)\n"
    "  - after a hard kill, the next start: the checkpoint saved once a minute\n"
    "\n"
    "Diagnostics go to the system log (journalctl -t tesuko) and stderr. Lines\n"
    "that name applications or window titles are written only with\n"
    "TESUKO_DEBUG=1 in the environment.\n"
    "\n"
    "Exit status: 0 on success, 1 when the log cannot be read, tesuko already runs\n"
    "or, for --quit, none runs; 2 for wrong arguments or without a desktop to watch.\n";

constexpr const char* kVersion =
    "tesuko " TESUKO_VERSION
    "\nLicense GPLv3+: GNU GPL version 3 or later "
    "<https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

// Runs `run` when the arguments are as `known` takes them; else complains.
int unlessMisused(Arguments args, std::span<const tesuko::Option> known,
                  const std::function<int()>& run) {
    auto problem = tesuko::parseOptions(args, known);
    return problem ? tesuko::usageError(std::cerr, *problem) : run();
}

// A command that takes nothing after its name.
std::function<int(Arguments)> alone(std::function<int()> run) {
    return [run = std::move(run)](Arguments args) {
        const tesuko::Option self[] = {{tesuko::optionName(args.front())}};
        return unlessMisused(args, self, run);
    };
}

int show(const char* text) {
    return std::fputs(text, stdout) < 0 ? 1 : 0;
}

// What a command run in a terminal reads and writes through.
struct TerminalServices {
    tesuko::PosixFileSystem fileSystem;
    tesuko::QtUserDefaults defaults;
    tesuko::SyslogSystemLog systemLog;
    tesuko::EnvHomeFolder home;
    tesuko::SystemClock clock;
    bool toTerminal = ::isatty(STDOUT_FILENO) == 1;
};

int runTop(Arguments args) {
    TerminalServices s;
    auto output = s.toTerminal ? tesuko::TopOutput::terminal : tesuko::TopOutput::pipe;
    return tesuko::runTopCommand(args, s.fileSystem, s.defaults, s.systemLog, s.home, std::cout,
                                 std::cerr, output);
}

int runReport(Arguments args) {
    TerminalServices s;
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);  // the last byte stays the name's end
    tesuko::ReportServices services{s.fileSystem, s.defaults, s.systemLog,
                                    s.home,       s.clock,    tesuko::userLocale("LC_TIME"),
                                    host};
    return tesuko::runReportCommand({args.begin(), args.end()}, services, std::cout, std::cerr);
}

struct Command {
    std::string_view name;
    // Gets the arguments after the program name, the command's name first.
    std::function<int(Arguments)> run;
};

// The commands: one entry each.
const Command kCommands[] = {
    {"--help", alone([] { return show(kHelp); })},
    {"-h", alone([] { return show(kHelp); })},
    {"--version", alone([] { return show(kVersion); })},
    {"-V", alone([] { return show(kVersion); })},
    {"--top", runTop},
    {"--quit", alone(tesuko::runQuitCommand)},
    {"report", runReport},
};

}  // namespace

int main(int argc, char** argv) {
    tesuko::useHugePagesForLargeBlocks();
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const Command& command : kCommands) {
        if (!args.empty() && tesuko::optionName(args.front()) == command.name) {
            return command.run(args);
        }
    }
    // Nothing, or "--" alone: the tray program, on its own so that only it
    // loads the desktop's libraries.
    return unlessMisused(args, {}, [&] {
        const std::string why =
            tesuko::execFirst(tesuko::siblingProgramPaths("tesuko-tray", TESUKO_TRAY_FOLDER), argv);
        std::fprintf(stderr, "tesuko: cannot start the tray program %s\n", why.c_str());
        return 1;
    });
}
