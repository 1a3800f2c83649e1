// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_rule_times.h"

#include <string>
#include <utility>
#include <vector>

#include "categories/rule_set.h"

namespace tesuko {

std::map<int, double> secondsPerRule(const RuleFile& file, std::span<const IntervalPart> parts) {
    // Each window once, however many parts it has.
    std::map<std::pair<std::string, std::string>, double> windows;
    for (const IntervalPart& part : parts) {
        windows[{part.application, part.title}] += part.seconds;
    }
    RuleSet aliases(RuleFile{file.aliases, {}, {}});
    std::vector<RuleSet> alone;
    for (const CategoryRule& rule : file.rules) {
        alone.emplace_back(RuleFile{{}, {rule}, {}});
    }
    std::map<int, double> seconds;
    for (const auto& [window, time] : windows) {
        const std::string shown = aliases.shownName(window.first);
        for (std::size_t i = 0; i < alone.size(); ++i) {
            if (alone[i].categoryOf(shown, window.second)) {
                seconds[file.rules[i].line] += time;
                break;
            }
        }
    }
    return seconds;
}

}  // namespace tesuko
