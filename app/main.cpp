#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/desktop/tray_program.h"
#include "app/top_command.h"
#include "platform/posix/env_home_folder.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/syslog_system_log.h"
#include "platform/qt/qt_user_defaults.h"

namespace {

constexpr const char* kUsage =
    "usage: tesuko              start the tray program (one per user)\n"
    "       tesuko --top [N] [--log FILE]\n"
    "                           print the first N ranking rows (5) of the activity log\n"
    "       tesuko --help       show this help\n"
    "       tesuko --version    show the version\n"
    "\n"
    "The activity log is ~/Desktop/TESUKO/log.csv until another file is chosen\n"
    "with \"Save Log As…\" in the tray menu. SIGTERM, SIGINT and Quit write the\n"
    "interval in progress before tesuko exits.\n"
    "\n"
    "Diagnostics go to the system log (journalctl -t tesuko) and stderr. Lines\n"
    "that name applications or window titles are written only with\n"
    "TESUKO_DEBUG=1 in the environment.\n";

int runTop(const std::vector<std::string>& args) {
    tesuko::PosixFileSystem fileSystem;
    tesuko::QtUserDefaults defaults;
    tesuko::SyslogSystemLog systemLog;
    tesuko::EnvHomeFolder home;
    auto output = ::isatty(STDOUT_FILENO) ? tesuko::TopOutput::terminal : tesuko::TopOutput::pipe;
    return tesuko::runTopCommand(args, fileSystem, defaults, systemLog, home, std::cout, std::cerr,
                                 output);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return tesuko::runTrayProgram(argc, argv);
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::puts("tesuko " TESUKO_VERSION);
        return 0;
    }
    if (tesuko::isTopCommand(args)) {
        return runTop(args);
    }
    std::fprintf(stderr, "tesuko: unknown argument '%s'\n%s", args[0].c_str(), kUsage);
    return 2;
}
