// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tesuko {

// The user's own folders, each without a trailing "/".
class HomeFolder {
  public:
    virtual ~HomeFolder() = default;

    virtual std::string path() = 0;
    // The user's configuration ($XDG_CONFIG_HOME).
    virtual std::string configFolder() = 0;
    // Where files live that may be deleted at any time ($XDG_CACHE_HOME).
    virtual std::string cacheFolder() = 0;
    // Where state lives that should outlive a crash ($XDG_STATE_HOME).
    virtual std::string stateFolder() = 0;
    // The folder the desktop shows, named in the user's language
    // (~/Desktop in English, ~/デスクトップ in Japanese).
    virtual std::string desktopFolder() = 0;
};

}  // namespace tesuko
