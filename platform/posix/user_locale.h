// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tesuko {

// The ICU locale id the user chose for one category ("LC_NUMERIC",
// "LC_TIME"), from $LC_ALL, that category or $LANG as the C library reads
// them ("de_DE.UTF-8" gives "de_DE"); empty when none is set or the locale
// is C or POSIX.
std::string userLocale(const char* category);

}  // namespace tesuko
