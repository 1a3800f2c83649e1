// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tesuko {

// The interval in progress as it would be written now, kept on disk so that a
// hard kill, an OOM kill or a power cut loses at most the time since it was
// last saved. The next start writes it into the log it was meant for.
struct Checkpoint {
    std::string logPath;
    std::string record;  // one whole line of the log, line feed included
    // The device and inode of that log (size and times stay 0). Checkpoints
    // of the first version have none: only the path tells their log.
    std::optional<FileIdentity> logFile;
};

std::string encodeCheckpoint(const Checkpoint& checkpoint);
// nullopt for bytes that are damaged or of an unknown version.
std::optional<Checkpoint> decodeCheckpoint(std::string_view bytes);

// True when `lastLine` is the record of the same interval as `record`: same
// start and application. A kill between writing a record and replacing the
// checkpoint must not write the interval twice.
bool sameInterval(std::string_view lastLine, std::string_view record);
// True when both lines are records and `record` starts before `lastLine`:
// written after it, it would stand out of order.
bool startsBefore(std::string_view record, std::string_view lastLine);

}  // namespace tesuko
