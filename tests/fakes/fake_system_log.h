// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

    std::vector<std::string> lines;
    std::vector<Priority> priorities;
};

}  // namespace tesuko
