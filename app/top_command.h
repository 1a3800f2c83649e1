// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// Where the rows go. A terminal takes control characters in a name as
// commands, so there they print as U+FFFD; a pipe gets the names as they are.
enum class TopOutput { terminal, pipe };

// `tesuko --top [N] [--log FILE]`: prints the first N ranking rows (5), as the
// menu shows them, one a line, without a display. `args` are the arguments
// after the program name, "--top" first. Returns the exit status: 0 (also for
// a log without records), 1 when the log cannot be read, 2 for bad arguments.
int runTopCommand(std::span<const std::string> args, FileSystem& fileSystem, UserDefaults& defaults,
                  SystemLog& systemLog, HomeFolder& home, std::ostream& out, std::ostream& err,
                  TopOutput output = TopOutput::pipe);

}  // namespace tesuko
