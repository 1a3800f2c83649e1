// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tesuko {

// One category of the tree, with the time of those below it.
struct CategoryRow {
    std::optional<std::string> path;  // nullopt: the time in no category
    int depth = 0;                    // 0 at the top
    double seconds = 0;

    bool operator==(const CategoryRow&) const = default;
};

// The tree of the categories that hold time, each row followed by its
// children; a category's seconds include its children's ("Work" holds
// "Work/Mail"). Siblings by time, most first, ties by path; the time in no
// category is a row of its own at the top level.
std::vector<CategoryRow> categoryTree(
    const std::vector<std::pair<std::optional<std::string>, double>>& times);

}  // namespace tesuko
