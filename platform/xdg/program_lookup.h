// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace tesuko {

// The real absolute path of the executable file a command names: an absolute
// path as it is, a bare name searched along $PATH. Nothing for a relative path
// or when no executable file is found.
std::optional<std::string> resolveProgram(const std::string& command);

}  // namespace tesuko
