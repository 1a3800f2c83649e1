// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/machine_folder.h"

#include <algorithm>
#include <iterator>

#include "machines/machine_card.h"

namespace tesuko {

namespace {

// NAME.sync-conflict-DATE-TIME-DEVICE.EXT: two machines changed NAME at once.
bool isConflictCopy(const std::string& name) {
    return name.find(".sync-conflict-") != std::string::npos;
}

std::string conflictText(const std::string& folder, const std::string& name) {
    const std::string original =
        name.substr(0, name.find(".sync-conflict-")) + name.substr(name.rfind('.'));
    return folder + name + " is a conflict copy of " + original +
           ": two machines wrote that file, which happens when they share one machine id (a "
           "copied system: give one a new /etc/machine-id). The copy is not counted; add what "
           "it has and " +
           original + " lacks to the log of its machine, then remove it.";
}

}  // namespace

std::optional<MachineFolder> readMachineFolder(FileSystem& fileSystem, const std::string& folder) {
    const std::optional<std::vector<std::string>> names = fileSystem.fileNames(folder);
    if (!names) {
        return std::nullopt;
    }
    MachineFolder found;
    for (const std::string& name : *names) {
        if (isConflictCopy(name)) {
            found.problems.push_back(conflictText(folder, name));
            continue;
        }
        // Syncthing's temporary files (.syncthing.NAME.tmp) end otherwise.
        if (!name.ends_with(".csv") || name.size() == 4) {
            continue;
        }
        MachineLog log{folder + name, name.substr(0, name.size() - 4), {}, {}};
        const FileContents card = fileSystem.readSmallFile(machineCardPath(log.path), 4096);
        if (card.bytes) {
            MachineCard read = readMachineCard(*card.bytes);
            log.name = read.name;
            log.zone = read.zone;
        } else {
            found.problems.push_back(log.path + " has no " + log.id +
                                     ".machine beside it: its times are read in this "
                                     "machine's time zone");
        }
        if (log.name.empty()) {
            log.name = log.id;
        }
        found.logs.push_back(std::move(log));
    }
    // Two machines of one host name stay two.
    std::vector<std::string> hostNames;
    std::ranges::transform(found.logs, std::back_inserter(hostNames), &MachineLog::name);
    for (MachineLog& log : found.logs) {
        if (std::ranges::count(hostNames, log.name) > 1) {
            log.name += " (" + log.id.substr(0, 6) + ")";
        }
    }
    return found;
}

}  // namespace tesuko
