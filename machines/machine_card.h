// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tesuko {

// What a shared folder says of a machine beside its log, in ID.machine:
// "name=" its host name and "zone=" the IANA time zone its log's start
// times are in, a line each.
struct MachineCard {
    std::string name;
    std::optional<std::string> zone;
};

// Unknown lines are skipped, so that a later version may add some.
MachineCard readMachineCard(std::string_view text);

// This machine's: its static host name (/etc/hostname) and the time zone its
// log is written in.
MachineCard thisMachineCard(FileSystem& fileSystem);

// Writes the card at the path, private to the user, unless it says so
// already: a synchroniser sends every write to every machine.
FileError writeMachineCard(FileSystem& fileSystem, const std::string& path,
                           const MachineCard& card);

}  // namespace tesuko
