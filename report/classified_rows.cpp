// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/classified_rows.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "categories/category_tree.h"

namespace tesuko {

namespace {

bool inCategory(const std::optional<std::string>& category, const std::string& within) {
    return category && category->starts_with(within) &&
           (category->size() == within.size() || (*category)[within.size()] == '/');
}

}  // namespace

std::string categoryName(const std::optional<std::string>& category) {
    return category.value_or("Uncategorized");
}

std::vector<ReportRow> classifiedRows(std::span<const IntervalPart> parts, Classifier& classifier,
                                      Grouping grouping, const std::optional<std::string>& within) {
    // Rows by (category, application, day, title), each part left out where
    // its grouping does not show it.
    using Key = std::tuple<std::optional<std::string>, std::string, std::int32_t, std::string>;
    std::map<Key, double> sums;
    for (const IntervalPart& part : parts) {
        const Classification& found = classifier.classify(part.application, part.title);
        if (within && !inCategory(found.category, *within)) {
            continue;
        }
        const bool byCategory = grouping == Grouping::category;
        sums[Key{found.category, byCategory ? "" : found.shownName,
                 grouping == Grouping::day ? part.day : 0,
                 grouping == Grouping::title ? part.title : ""}] += part.seconds;
    }
    std::vector<ReportRow> rows;
    if (grouping == Grouping::category) {
        std::vector<std::pair<std::optional<std::string>, double>> times;
        for (const auto& [key, seconds] : sums) {
            times.emplace_back(std::get<0>(key), seconds);
        }
        for (CategoryRow& row : categoryTree(times)) {
            rows.push_back({{}, 0, {}, row.seconds, std::move(row.path), row.depth});
        }
        return rows;
    }
    for (const auto& [key, seconds] : sums) {
        const auto& [category, application, day, title] = key;
        rows.push_back({application, day, title, seconds, category, 0});
    }
    sortRows(rows);
    if (grouping == Grouping::day) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const ReportRow& a, const ReportRow& b) { return a.day < b.day; });
    }
    return rows;
}

}  // namespace tesuko
