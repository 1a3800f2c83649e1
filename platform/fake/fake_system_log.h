#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/system_log.h"

namespace tesuko {

class FakeSystemLog : public SystemLog {
  public:
    void line(std::string_view text) override { lines.emplace_back(text); }

    std::vector<std::string> lines;
};

}  // namespace tesuko
