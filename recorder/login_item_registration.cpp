// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/login_item_registration.h"

#include <algorithm>

namespace tesuko {

bool addLoginItem(LoginItems& items, SystemLog& systemLog) {
    if (auto error = items.insertLast(items.bundlePath())) {
        systemLog.error("Could not add tesuko to the login items: " + *error);
        return false;
    }
    systemLog.info("tesukoをログイン項目に追加したぜ！");
    return true;
}

bool isLoginItem(LoginItems& items) {
    const std::string bundle = items.bundlePath();
    // An empty path would begin every path; a plain text prefix, not whole
    // path components.
    return !bundle.empty() &&
           std::ranges::any_of(items.snapshot(), [&](const std::optional<std::string>& resolved) {
               return resolved && resolved->starts_with(bundle);
           });
}

}  // namespace tesuko
