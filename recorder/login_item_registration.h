// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/login_items.h"
#include "platform/system_log.h"

namespace tesuko {

// Adds the program to the login items; false when it could not be added.
bool addLoginItem(LoginItems& items, SystemLog& systemLog);
bool isLoginItem(LoginItems& items);

}  // namespace tesuko
