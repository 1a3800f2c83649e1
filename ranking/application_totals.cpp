// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/application_totals.h"

#include "text/utf8.h"

namespace tesuko {

std::optional<ApplicationTotals> ApplicationTotals::restored(RankList applications) {
    ApplicationTotals totals;
    for (RankedApplication& application : applications) {
        bool fresh = !totals.positions_.find(application.name);
        if (!fresh || utf8::valid(application.name) != application.name) {
            return std::nullopt;
        }
        totals.positions_.insert(application.name, totals.applications_.size());
        totals.applications_.push_back(std::move(application));
    }
    return totals;
}

std::optional<std::size_t> ApplicationTotals::positionOf(std::string_view name) const {
    if (auto position = positions_.find(name)) {
        return position;
    }
    return positions_.find(nameAsText(name));
}

std::string ApplicationTotals::nameAsText(std::string_view name) {
    return utf8::valid(name);
}

void ApplicationTotals::add(std::string_view name, double seconds) {
    if (auto position = positions_.find(name)) {
        applications_[*position].seconds += seconds;
        return;
    }
    addFirstSeen(name, seconds);
}

std::size_t ApplicationTotals::addFirstSeen(std::string_view name, double seconds) {
    std::string valid = nameAsText(name);
    if (auto position = positions_.find(valid)) {
        // Another spelling of invalid bytes that reads as the same text.
        applications_[*position].seconds += seconds;
        positions_.insert(name, *position);
        return *position;
    }
    std::size_t position = applications_.size();
    applications_.push_back({valid, seconds});
    positions_.insert(valid, position);
    if (valid != name) {
        positions_.insert(name, position);
    }
    return position;
}

}  // namespace tesuko
