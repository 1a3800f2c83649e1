// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_categories.h"

#include <algorithm>
#include <map>

namespace tesuko {

bool CategoryPick::holds(const std::optional<std::string>& category) const {
    if (!path || !category) {
        return path == category;
    }
    return category->starts_with(*path) &&
           (category->size() == path->size() || (*category)[path->size()] == '/');
}

std::optional<std::string> topLevelOf(const std::optional<std::string>& category) {
    return category ? std::optional(category->substr(0, category->find('/'))) : std::nullopt;
}

std::vector<ReportRow> shownApplicationRows(std::span<const IntervalPart> parts,
                                            Classifier& classifier,
                                            const std::optional<CategoryPick>& pick) {
    std::map<std::string, double> sums;
    for (const IntervalPart& part : parts) {
        const Classification& found = classifier.classify(part.application, part.title);
        if (!pick || pick->holds(found.category)) {
            sums[found.shownName] += part.seconds;
        }
    }
    std::vector<ReportRow> rows;
    for (const auto& [application, seconds] : sums) {
        rows.push_back({application, 0, {}, seconds});
    }
    sortRows(rows);
    return rows;
}

std::vector<IntervalPart> shownApplicationParts(std::span<const IntervalPart> parts,
                                                Classifier& classifier,
                                                const std::optional<CategoryPick>& pick,
                                                const std::string& application) {
    std::vector<IntervalPart> shown;
    for (const IntervalPart& part : parts) {
        const Classification& found = classifier.classify(part.application, part.title);
        if (found.shownName == application && (!pick || pick->holds(found.category))) {
            shown.push_back(part);
        }
    }
    return shown;
}

std::vector<DaySeconds> shownSecondsPerDay(std::span<const IntervalPart> parts,
                                           Classifier& classifier, const DateRange& range,
                                           const std::optional<std::string>& application) {
    std::vector<DaySeconds> days;
    for (std::int32_t day = range.first; day < range.end; ++day) {
        days.push_back({day, 0, 0});
    }
    for (const IntervalPart& part : parts) {
        if (range.contains(part.day)) {
            DaySeconds& day = days[std::size_t(part.day - range.first)];
            day.seconds += part.seconds;
            if (classifier.classify(part.application, part.title).shownName == application) {
                day.application += part.seconds;
            }
        }
    }
    return days;
}

std::vector<std::vector<double>> secondsPerDayAndCategory(
    std::span<const IntervalPart> parts, Classifier& classifier, const DateRange& range,
    const std::vector<std::optional<std::string>>& topLevel) {
    std::vector<std::vector<double>> days(std::size_t(std::max(range.days(), 0)),
                                          std::vector<double>(topLevel.size()));
    for (const IntervalPart& part : parts) {
        const auto top =
            std::find(topLevel.begin(), topLevel.end(),
                      topLevelOf(classifier.classify(part.application, part.title).category));
        if (range.contains(part.day) && top != topLevel.end()) {
            days[std::size_t(part.day - range.first)][std::size_t(top - topLevel.begin())] +=
                part.seconds;
        }
    }
    return days;
}

}  // namespace tesuko
