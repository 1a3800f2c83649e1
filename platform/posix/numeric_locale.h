// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tesuko {

// The ICU locale id of the user's number formatting, from $LC_ALL, $LC_NUMERIC
// or $LANG as the C library reads them ("de_DE.UTF-8" gives "de_DE"); empty
// when none is set or the locale is C or POSIX.
std::string userNumericLocale();

}  // namespace tesuko
