#pragma once

#include <string_view>

namespace tesuko {

// Diagnostics: single free-form lines, no levels, no prefixes.
class SystemLog {
  public:
    virtual ~SystemLog() = default;

    virtual void line(std::string_view text) = 0;
};

}  // namespace tesuko
