// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tesuko {

// The programs the desktop starts when the user logs in.
class LoginItems {
  public:
    virtual ~LoginItems() = default;

    // Absolute path of the running program.
    virtual std::string bundlePath() = 0;
    // Adds an entry for the path at the end of the list; the reason when that failed.
    virtual std::optional<std::string> insertLast(const std::string& path) = 0;
    // The entries in list order, each resolved to the path of its program,
    // or nullopt for an entry that does not resolve.
    virtual std::vector<std::optional<std::string>> snapshot() = 0;
};

}  // namespace tesuko
