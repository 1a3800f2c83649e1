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

std::vector<ReportRow> classifiedRows(std::span<const ClassifiedTitles> logs,
                                      const DateRange& range, Grouping grouping,
                                      const std::optional<std::string>& within) {
    // Rows by (category, application, day, title), each window's seconds
    // summed first where the rows have no day: years of days stand for a few
    // thousand windows, each classified once.
    using Key = std::tuple<std::optional<std::string>, std::string, std::int32_t, std::string>;
    std::map<Key, double> sums;
    auto addUp = [&](const ClassifiedTitles& log, std::int32_t day, std::uint32_t pair,
                     double seconds) {
        const Classification& found = log.classes[pair];
        if (within && !inCategory(found.category, *within)) {
            return;
        }
        sums[Key{found.category, grouping == Grouping::category ? "" : found.shownName, day,
                 grouping == Grouping::title ? log.days.pairs()[pair].title : ""}] += seconds;
    };
    for (const ClassifiedTitles& log : logs) {
        if (grouping == Grouping::day) {
            for (const PairSeconds& entry : log.days.within(range)) {
                addUp(log, entry.day, entry.pair, entry.seconds);
            }
            continue;
        }
        std::vector<double> perPair(log.days.pairs().size());
        std::vector<char> seen(perPair.size());
        for (const PairSeconds& entry : log.days.within(range)) {
            perPair[entry.pair] += entry.seconds;
            seen[entry.pair] = true;
        }
        for (std::uint32_t pair = 0; pair < perPair.size(); ++pair) {
            if (seen[pair]) {
                addUp(log, 0, pair, perPair[pair]);
            }
        }
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

ClassifiedTitles classifiedParts(std::span<const IntervalPart> parts, Classifier& classifier) {
    ClassifiedTitles titles;
    for (const IntervalPart& part : parts) {
        titles.days.add(part.day, part.application, part.title, part.seconds);
    }
    titles.days.settle();
    for (const TitlePair& pair : titles.days.pairs()) {
        titles.classes.push_back(classifier.classify(pair.application, pair.title));
    }
    return titles;
}

}  // namespace tesuko
