// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_location.h"

#include <optional>

#include "machines/machine_folder.h"
#include "machines/machine_id.h"
#include "settings/setting.h"

namespace tesuko {

LogLocation logLocationAt(const std::string& path) {
    const std::size_t name = path.rfind('/') + 1;  // npos + 1 is 0: a name alone
    return {path.substr(0, name), path.substr(name)};
}

namespace {

std::optional<LogLocation> sharedLogLocation(const Setting& setting, SystemLog& systemLog,
                                             FileSystem& fileSystem) {
    const std::optional<std::string> folder = setting.getSharedFolder();
    if (!folder) {
        return std::nullopt;
    }
    const std::optional<std::string> id = machineId(fileSystem);
    if (!id || !folder->starts_with('/')) {
        systemLog.warning(id ? "The shared folder \"" + *folder + "\" is not an absolute path"
                             : std::string("This system has no machine id (/etc/machine-id)"));
        systemLog.warning("Recording into the local log instead of the shared folder.");
        return std::nullopt;
    }
    return LogLocation{folder->ends_with('/') ? *folder : *folder + "/", machineLogName(*id), false,
                       true};
}

}  // namespace

LogLocation logLocationFromSettings(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home,
                                    FileSystem& fileSystem) {
    const Setting setting(defaults, systemLog);
    if (std::optional<LogLocation> shared = sharedLogLocation(setting, systemLog, fileSystem)) {
        return *shared;
    }
    const std::optional<std::string> stored = setting.getFilePath();
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
