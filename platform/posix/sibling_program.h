// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tesuko {

// Where another program of this package may be, from the folder of the
// running one (/proc/self/exe): `installedFolder` relative to it first, as
// installed, then that folder itself, as in the build tree.
std::vector<std::string> siblingProgramPaths(std::string_view name,
                                             std::string_view installedFolder);

// Replaces this process with the first of `paths` that exists, with the
// same arguments and environment, so it keeps the pid, signals and exit
// status. Returns only when none could start: why the first could not.
std::string execFirst(const std::vector<std::string>& paths, char** argv);

}  // namespace tesuko
