// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "log/log_location.h"
#include "platform/platform.h"
#include "settings/setting.h"

namespace tesuko {

// Asks the user where the log goes, stores the choice in `setting` and makes
// the chosen file when it is missing but its folder is there; nullopt when
// the user cancelled.
std::optional<LogLocation> chooseLogLocation(Platform& platform, Setting& setting);

}  // namespace tesuko
