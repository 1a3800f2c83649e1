// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/login_items.h"

namespace tesuko {

class FakeLoginItems : public LoginItems {
  public:
    std::string bundlePath() override { return bundle; }
    std::optional<std::string> insertLast(const std::string& path) override {
        if (failInsert) {
            return "Permission denied";
        }
        items.emplace_back(path);
        return std::nullopt;
    }
    std::vector<std::optional<std::string>> snapshot() override { return items; }

    std::string bundle = "/opt/tesuko/bin/tesuko";
    std::vector<std::optional<std::string>> items;  // nullopt: does not resolve
    bool failInsert = false;
};

}  // namespace tesuko
