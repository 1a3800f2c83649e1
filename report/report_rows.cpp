// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_rows.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <unordered_map>

namespace tesuko {

namespace {

// An application's place among the names of all logs, per log.
std::vector<std::vector<std::uint32_t>> mergedNames(std::span<const ScanState* const> logs,
                                                    std::vector<std::string>& names) {
    std::unordered_map<std::string, std::uint32_t> positions;
    std::vector<std::vector<std::uint32_t>> merged;
    for (const ScanState* log : logs) {
        auto& places = merged.emplace_back();
        for (const RankedApplication& application : log->totals.applications()) {
            auto [at, fresh] = positions.try_emplace(application.name, names.size());
            if (fresh) {
                names.push_back(application.name);
            }
            places.push_back(at->second);
        }
    }
    return merged;
}

// Most seconds first. NaN (from a damaged log's infinities) would break the
// ordering: it goes last.
double orderKey(double seconds) {
    return std::isnan(seconds) ? -HUGE_VAL : seconds;
}

}  // namespace

DateRange allDays(std::span<const ScanState* const> logs) {
    std::optional<DateRange> all;
    for (const ScanState* log : logs) {
        for (const DayTotals& day : log->days.days()) {
            if (day.applications.empty()) {
                continue;
            }
            all = all ? DateRange{std::min(all->first, day.day), std::max(all->end, day.day + 1)}
                      : DateRange{day.day, day.day + 1};
        }
    }
    return all.value_or(DateRange{});
}

std::vector<ReportRow> rowsByApplication(std::span<const ScanState* const> logs,
                                         const DateRange& range) {
    // Per log, one slot per application: the ten-year case sums 200k entries.
    std::vector<ReportRow> rows;
    std::unordered_map<std::string, std::size_t> positions;
    for (const ScanState* log : logs) {
        const RankList& names = log->totals.applications();
        std::vector<double> sums(names.size(), 0.0);
        std::vector<bool> seen(names.size(), false);
        for (const DayTotals& day : log->days.days()) {
            if (!range.contains(day.day)) {
                continue;
            }
            for (const ApplicationSeconds& entry : day.applications) {
                sums[entry.application] += entry.seconds;
                seen[entry.application] = true;
            }
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!seen[i]) {
                continue;
            }
            auto [at, fresh] = positions.try_emplace(names[i].name, rows.size());
            if (fresh) {
                rows.push_back({names[i].name, 0, {}, 0});
            }
            rows[at->second].seconds += sums[i];
        }
    }
    sortRows(rows);
    return rows;
}

std::vector<ReportRow> rowsByDay(std::span<const ScanState* const> logs, const DateRange& range) {
    // The logs' days in order, then each day's applications summed in one
    // slot per name: the ten-year case has 200k of them.
    std::vector<std::string> names;
    auto places = mergedNames(logs, names);
    std::vector<std::pair<std::int32_t, std::pair<std::size_t, const DayTotals*>>> days;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        for (const DayTotals& day : logs[i]->days.days()) {
            if (range.contains(day.day)) {
                days.push_back({day.day, {i, &day}});
            }
        }
    }
    std::sort(days.begin(), days.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ReportRow> rows;
    // At most a row per entry: made once rather than moved as the rows grow.
    std::size_t entries = 0;
    for (const auto& [day, from] : days) {
        entries += from.second->applications.size();
    }
    rows.reserve(entries);
    std::vector<double> sums(names.size(), 0.0);
    std::vector<bool> seen(names.size(), false);
    std::vector<std::uint32_t> touched;
    for (std::size_t at = 0; at < days.size();) {
        const std::int32_t day = days[at].first;
        for (; at < days.size() && days[at].first == day; ++at) {
            const auto& [log, totals] = days[at].second;
            for (const ApplicationSeconds& entry : totals->applications) {
                std::uint32_t place = places[log][entry.application];
                if (!seen[place]) {
                    seen[place] = true;
                    touched.push_back(place);
                }
                sums[place] += entry.seconds;
            }
        }
        // In the order sortRows gives a day's rows, sorting places rather than rows.
        std::sort(touched.begin(), touched.end(), [&](std::uint32_t a, std::uint32_t b) {
            if (orderKey(sums[a]) != orderKey(sums[b])) {
                return orderKey(sums[a]) > orderKey(sums[b]);
            }
            return names[a] < names[b];
        });
        for (std::uint32_t place : touched) {
            rows.push_back({names[place], day, {}, sums[place]});
            sums[place] = 0;
            seen[place] = false;
        }
        touched.clear();
    }
    return rows;
}

std::vector<DaySeconds> secondsPerDay(std::span<const ScanState* const> logs,
                                      const DateRange& range,
                                      const std::optional<std::string>& application) {
    std::vector<DaySeconds> days(std::size_t(range.days()));
    for (std::size_t i = 0; i < days.size(); ++i) {
        days[i].day = range.first + std::int32_t(i);
    }
    for (const ScanState* log : logs) {
        std::optional<std::size_t> wanted =
            application ? log->totals.positionOf(*application) : std::nullopt;
        for (const DayTotals& day : log->days.days()) {
            if (!range.contains(day.day)) {
                continue;
            }
            DaySeconds& into = days[std::size_t(day.day - range.first)];
            for (const ApplicationSeconds& entry : day.applications) {
                into.seconds += entry.seconds;
                into.application += entry.application == wanted ? entry.seconds : 0.0;
            }
        }
    }
    return days;
}

std::vector<DaySeconds> secondsPerDay(const std::vector<ReportRow>& rows, const DateRange& range) {
    std::vector<DaySeconds> days(std::size_t(range.days()));
    for (std::size_t i = 0; i < days.size(); ++i) {
        days[i].day = range.first + std::int32_t(i);
    }
    for (const ReportRow& row : rows) {
        if (range.contains(row.day)) {
            days[std::size_t(row.day - range.first)].seconds += row.seconds;
        }
    }
    return days;
}

void sortRows(std::vector<ReportRow>& rows) {
    std::sort(rows.begin(), rows.end(), [](const ReportRow& a, const ReportRow& b) {
        if (orderKey(a.seconds) != orderKey(b.seconds)) {
            return orderKey(a.seconds) > orderKey(b.seconds);
        }
        return std::tie(a.application, a.day, a.title, a.category) <
               std::tie(b.application, b.day, b.title, b.category);
    });
}

void keepTop(std::vector<ReportRow>& rows, Grouping grouping, std::size_t top) {
    if (grouping == Grouping::category) {
        // The largest top-level categories, each with the tree below it.
        auto next = std::find_if(rows.begin(), rows.end(), [&](const ReportRow& row) {
            return row.depth == 0 && top-- == 0;
        });
        rows.erase(next, rows.end());
        return;
    }
    if (grouping != Grouping::day) {
        rows.resize(std::min(rows.size(), top));
        return;
    }
    std::vector<ReportRow> kept;
    std::size_t onDay = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        onDay = i > 0 && rows[i].day == rows[i - 1].day ? onDay + 1 : 0;
        if (onDay < top) {
            kept.push_back(std::move(rows[i]));
        }
    }
    rows = std::move(kept);
}

double totalSeconds(const std::vector<ReportRow>& rows) {
    double total = 0;
    for (const ReportRow& row : rows) {
        total += row.depth == 0 ? row.seconds : 0;  // a category's children are in it
    }
    return total;
}

}  // namespace tesuko
