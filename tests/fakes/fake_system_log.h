// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_log.h"

namespace tesuko {

class FakeSystemLog : public SystemLog {
  public:
    void write(Priority priority, std::string_view text) override {
        lines.emplace_back(text);
        priorities.push_back(priority);
    }

    // How many lines hold the part.
    long said(std::string_view part) const {
        return std::ranges::count_if(
            lines, [&](const std::string& line) { return line.find(part) != line.npos; });
    }

    std::vector<std::string> lines;
    std::vector<Priority> priorities;
};

}  // namespace tesuko
