// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace tesuko {

// The user's runtime folder ($XDG_RUNTIME_DIR): the user's alone, emptied at
// logout. Nothing when unset or relative, which the XDG rules say to ignore.
std::optional<std::string> runtimeFolder();

}  // namespace tesuko
