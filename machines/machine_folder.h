// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tesuko {

// A machine's log in a shared folder, as its card describes it.
struct MachineLog {
    std::string path;
    std::string id;
    std::string name;                 // the id when the card is missing
    std::optional<std::string> zone;  // nullopt: read in this machine's zone
};

// What a shared folder holds: the logs, and what a user should hear of, in
// English.
struct MachineFolder {
    std::vector<MachineLog> logs;
    std::vector<std::string> problems;
};

// The name of a machine's log in the shared folder.
inline std::string machineLogName(const std::string& id) {
    return id + ".csv";
}

// The card beside a machine's log: ID.machine of ID.csv.
inline std::string machineCardPath(const std::string& logPath) {
    return logPath.substr(0, logPath.size() - 4) + ".machine";
}

// Every ID.csv of the folder (which ends with "/") with its ID.machine. A
// synchroniser's files are never read as logs: its temporary files are
// skipped, its conflict copies reported. nullopt when the folder cannot be read.
std::optional<MachineFolder> readMachineFolder(FileSystem& fileSystem, const std::string& folder);

}  // namespace tesuko
