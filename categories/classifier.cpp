// SPDX-License-Identifier: GPL-3.0-or-later
#include "categories/classifier.h"

namespace tesuko {

const Classification& Classifier::classify(std::string_view application, std::string_view title) {
    key_.assign(application);
    key_ += '\n';
    key_ += title;
    if (auto found = known_.find(std::string_view(key_)); found != known_.end()) {
        return found->second;
    }
    std::string shown = rules_.shownName(application);
    std::optional<std::string> category = rules_.categoryOf(shown, title);
    return known_.try_emplace(key_, Classification{std::move(shown), std::move(category)})
        .first->second;
}

}  // namespace tesuko
