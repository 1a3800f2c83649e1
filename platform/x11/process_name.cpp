// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/process_name.h"

#include <fstream>

namespace tesuko {

std::optional<std::string> processName(std::uint32_t pid) {
    if (pid == 0) {
        return std::nullopt;
    }
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!std::getline(comm, name) || name.empty()) {
        return std::nullopt;
    }
    return name;
}

}  // namespace tesuko
