#include "ranking/application_totals.h"

#include "recorder/utf8.h"

namespace tesuko {

std::optional<ApplicationTotals> ApplicationTotals::restored(RankList applications) {
    ApplicationTotals totals;
    for (RankedApplication& application : applications) {
        bool fresh = !totals.positions_.contains(application.name);
        if (!fresh || utf8::valid(application.name) != application.name) {
            return std::nullopt;
        }
        totals.indexAs(application.name, totals.applications_.size());
        totals.applications_.push_back(std::move(application));
    }
    return totals;
}

void ApplicationTotals::add(std::string_view name, double seconds) {
    auto found = positions_.find(name);
    if (found != positions_.end()) {
        applications_[found->second].seconds += seconds;
        return;
    }
    addFirstSeen(name, seconds);
}

void ApplicationTotals::addFirstSeen(std::string_view name, double seconds) {
    std::string valid = utf8::valid(name);
    auto found = positions_.find(valid);
    if (found != positions_.end()) {
        // Another spelling of invalid bytes that reads as the same text.
        applications_[found->second].seconds += seconds;
        indexAs(name, found->second);
        return;
    }
    std::size_t position = applications_.size();
    applications_.push_back({valid, seconds});
    indexAs(valid, position);
    indexAs(name, position);
}

void ApplicationTotals::indexAs(std::string_view key, std::size_t position) {
    positions_.emplace(std::string(key), position);
}

}  // namespace tesuko
