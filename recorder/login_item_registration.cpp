// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/login_item_registration.h"

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
    if (bundle.empty()) {
        return false;  // every path would begin with it
    }
    for (const std::optional<std::string>& resolved : items.snapshot()) {
        // A plain text prefix, not whole path components.
        if (resolved && resolved->starts_with(bundle)) {
            return true;
        }
    }
    return false;
}

}  // namespace tesuko
