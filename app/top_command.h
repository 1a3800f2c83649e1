// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <variant>

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// The second line of every complaint about the command line, as GNU tools say it.
inline constexpr const char* kTryHelp = "Try 'tesuko --help' for more information.";

// `tesuko --top [N] [--log FILE | --log=FILE]`: the ranking in a terminal,
// without a display.
struct TopOptions {
    std::size_t rows = 5;
    std::optional<std::string> logFile;  // the log the menu reads when none
};

// True when the arguments after the program name ask for the ranking.
bool isTopCommand(std::span<const std::string> args);

// The options, or what is wrong with the arguments.
std::variant<TopOptions, std::string> parseTopArguments(std::span<const std::string> args);

// Where the rows go. A terminal takes control characters in a name as
// commands, so there they print as U+FFFD; a pipe gets the names as they are.
enum class TopOutput { terminal, pipe };

// Prints the first N ranking rows, as the menu shows them, one a line.
// `args` are the arguments after the program name, "--top" first. Returns the
// exit status: 0, 1 when the log cannot be read, 2 for bad arguments.
int runTopCommand(std::span<const std::string> args, FileSystem& fileSystem, UserDefaults& defaults,
                  SystemLog& systemLog, HomeFolder& home, std::ostream& out, std::ostream& err,
                  TopOutput output = TopOutput::pipe);

}  // namespace tesuko
