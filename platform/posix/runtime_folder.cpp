// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/runtime_folder.h"

#include <cstdlib>

namespace tesuko {

std::optional<std::string> runtimeFolder() {
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    if (folder == nullptr || folder[0] != '/') {
        return std::nullopt;
    }
    return folder;
}

}  // namespace tesuko
