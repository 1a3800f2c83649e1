// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/status_menu.h"

namespace tesuko {

// The problem in English, for the system log: "Could not rewrite PATH: why".
std::string logProblemText(const LogProblem& problem);

}  // namespace tesuko
