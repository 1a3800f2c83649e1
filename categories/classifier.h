// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "categories/rule_set.h"

namespace tesuko {

// What the rules make of the time in one window.
struct Classification {
    std::string shownName;
    std::optional<std::string> category;  // nullopt: in no category
};

// Applies the rules once per distinct application and title, however many
// records share them: a log of years repeats a few thousand pairs millions
// of times.
class Classifier {
  public:
    explicit Classifier(RuleSet rules) : rules_(std::move(rules)) {}

    const Classification& classify(std::string_view application, std::string_view title);
    const RuleSet& rules() const { return rules_; }

  private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const {
            return std::hash<std::string_view>{}(key);
        }
    };

    RuleSet rules_;
    // Keyed by application "\n" title: neither holds a line feed.
    std::unordered_map<std::string, Classification, KeyHash, std::equal_to<>> known_;
    std::string key_;
};

}  // namespace tesuko
