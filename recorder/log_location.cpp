// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/log_location.h"

#include "settings/setting.h"

namespace tesuko {

std::string defaultLogFolder(HomeFolder& home) {
    return home.desktopFolder() + "/TESUKO";
}

std::string defaultLogPath(HomeFolder& home) {
    return defaultLogFolder(home) + "/log.csv";
}

std::optional<FolderAndFile> storedLogLocation(UserDefaults& defaults, SystemLog& systemLog) {
    std::optional<std::string> stored = Setting(defaults, systemLog).getFilePath();
    if (!stored) {
        return std::nullopt;
    }
    std::string urlText = *stored;
    if (urlText.starts_with("/")) {
        urlText = "file://" + urlText;
    }
    if (!urlText.starts_with("file:///") || urlText.ends_with("/")) {
        systemLog.warning("The stored log location \"" + *stored +
                          "\" is neither a file URL nor an absolute file path; using the "
                          "default location instead.");
        return std::nullopt;
    }
    return splitFolderAndFile(urlText);
}

std::string logPath(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home) {
    if (auto stored = storedLogLocation(defaults, systemLog)) {
        return stored->folder + stored->fileName;
    }
    return defaultLogPath(home);
}

}  // namespace tesuko
