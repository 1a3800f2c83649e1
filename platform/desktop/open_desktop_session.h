// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "platform/desktop_session.h"

namespace tesuko {

// Why no desktop can be watched from here, in words for the user; nothing
// when the environment names a display. Asked before the Qt application is
// made: without a display Qt aborts before we could say why.
std::optional<std::string> whyNoDesktopToWatch();

}  // namespace tesuko
