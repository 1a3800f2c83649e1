// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

struct UConverter;

namespace tesuko {

// The width of a name in the ranking rows: its length in Shift-JIS bytes, or
// 0 when any character of it has no Shift-JIS form.
class ShiftJisWidth {
  public:
    ShiftJisWidth();

    std::size_t operator()(std::string_view utf8Name) const;

  private:
    struct Close {
        void operator()(UConverter* converter) const;
    };
    std::unique_ptr<UConverter, Close> converter_;
};

}  // namespace tesuko
