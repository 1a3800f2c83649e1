// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_location.h"

#include <optional>

#include "settings/setting.h"

namespace tesuko {

LogLocation logLocationAt(const std::string& path) {
    const std::size_t name = path.rfind('/') + 1;  // npos + 1 is 0: a name alone
    return {path.substr(0, name), path.substr(name)};
}

LogLocation logLocationFromSettings(UserDefaults& defaults, SystemLog& systemLog,
                                    HomeFolder& home) {
    const std::optional<std::string> stored = Setting(defaults, systemLog).getFilePath();
    if (stored) {
        const std::string path = stored->starts_with("file:///") ? stored->substr(7) : *stored;
        if (path.starts_with('/') && !path.ends_with('/')) {
            return logLocationAt(path);
        }
        systemLog.warning("The stored log location \"" + *stored +
                          "\" is neither a file URL nor an absolute file path; using the "
                          "default location instead.");
    }
    return {home.desktopFolder() + "/TESUKO/", "log.csv", true};
}

}  // namespace tesuko
