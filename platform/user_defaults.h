// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace tesuko {

// The per-user preferences store of this program.
class UserDefaults {
  public:
    virtual ~UserDefaults() = default;

    virtual void set(const std::string& key, const std::string& value) = 0;
    // Writes pending changes through to storage now.
    virtual bool synchronize() = 0;
    virtual std::optional<std::string> string(const std::string& key) = 0;
};

}  // namespace tesuko
