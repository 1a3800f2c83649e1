// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/user_defaults.h"

namespace tesuko {

class FakeUserDefaults : public UserDefaults {
  public:
    void set(const std::string& key, const std::string& value) override { values[key] = value; }
    bool synchronize() override { return true; }
    std::optional<std::string> string(const std::string& key) override {
        auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }

    std::map<std::string, std::string> values;
};

}  // namespace tesuko
