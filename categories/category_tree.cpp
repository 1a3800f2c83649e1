// SPDX-License-Identifier: GPL-3.0-or-later
#include "categories/category_tree.h"

#include <algorithm>
#include <map>

namespace tesuko {

namespace {

using Totals = std::map<std::optional<std::string>, double>;

std::optional<std::string> parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::nullopt : std::optional(path.substr(0, slash));
}

void addChildren(
    const Totals& totals,
    const std::map<std::optional<std::string>, std::vector<std::optional<std::string>>>& children,
    const std::optional<std::string>& parent, int depth, std::vector<CategoryRow>& rows) {
    auto found = children.find(parent);
    if (found == children.end()) {
        return;
    }
    std::vector<std::optional<std::string>> ordered = found->second;
    std::ranges::sort(ordered, [&](const auto& a, const auto& b) {
        const double x = totals.at(a);
        const double y = totals.at(b);
        return x != y ? x > y : a < b;
    });
    for (const auto& path : ordered) {
        rows.push_back({path, depth, totals.at(path)});
        if (path) {
            addChildren(totals, children, path, depth + 1, rows);
        }
    }
}

}  // namespace

std::vector<CategoryRow> categoryTree(
    const std::vector<std::pair<std::optional<std::string>, double>>& times) {
    Totals totals;
    // Children by parent; the top level's parent is written as "" here, as
    // nullopt stands for no category.
    std::map<std::optional<std::string>, std::vector<std::optional<std::string>>> children;
    const std::optional<std::string> top = std::string();
    for (const auto& [category, seconds] : times) {
        std::optional<std::string> path = category;
        while (true) {
            auto [at, added] = totals.try_emplace(path, 0.0);
            at->second += seconds;
            std::optional<std::string> parent = path ? parentOf(*path) : std::nullopt;
            if (added) {
                children[parent ? parent : top].push_back(path);
            }
            if (!parent) {
                break;
            }
            path = parent;
        }
    }
    std::vector<CategoryRow> rows;
    addChildren(totals, children, top, 0, rows);
    return rows;
}

}  // namespace tesuko
