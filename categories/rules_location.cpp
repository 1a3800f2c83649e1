// SPDX-License-Identifier: GPL-3.0-or-later
#include "categories/rules_location.h"

#include <functional>

namespace tesuko {

namespace {

// Rules written by hand stay far below; a larger file is a mistake.
constexpr std::size_t kLargestRulesFile = 4 << 20;

}  // namespace

std::string rulesFilePath(HomeFolder& home) {
    return home.configFolder() + "/tesuko/rules";
}

LoadedRules loadRules(FileSystem& fileSystem, const std::string& path) {
    FileContents contents = fileSystem.readSmallFile(path, kLargestRulesFile);
    if (!contents.bytes) {
        if (!fileSystem.exists(path)) {
            return {};
        }
        return {RuleSet(), "cannot read " + path + ": " + faultText(contents.error)};
    }
    return {RuleSet(parseRuleFile(*contents.bytes)), std::nullopt,
            std::hash<std::string>{}(*contents.bytes)};
}

}  // namespace tesuko
