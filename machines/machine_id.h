// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace tesuko {

// This machine's name in a shared folder: a hash of /etc/machine-id, which
// stays when the host is renamed and differs between machines of one name,
// and which is not the id itself, which other programs treat as a secret.
// Sixteen hex digits; nullopt when the system has no machine id.
std::optional<std::string> machineId(FileSystem& fileSystem);

}  // namespace tesuko
