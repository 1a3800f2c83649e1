// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "categories/rule_set.h"
#include "platform/file_system.h"
#include "platform/home_folder.h"

namespace tesuko {

// Where the user keeps the rules: $XDG_CONFIG_HOME/tesuko/rules.
std::string rulesFilePath(HomeFolder& home);

// The rules at path; no rules when there is no file. Why it could not be
// read, when it is there but cannot be. What the rules made of something
// holds while the file's bytes hash the same.
struct LoadedRules {
    RuleSet rules;
    std::optional<std::string> error;
    std::uint64_t hash = 0;
};
LoadedRules loadRules(FileSystem& fileSystem, const std::string& path);

}  // namespace tesuko
