// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_location.h"

#include "settings/setting.h"

namespace tesuko {

std::string defaultLogFolder(HomeFolder& home) {
    return home.desktopFolder() + "/TESUKO";
}

std::string defaultLogPath(HomeFolder& home) {
    return defaultLogFolder(home) + "/log.csv";
}

namespace {

std::optional<FolderAndFile> locationIn(std::string urlText) {
    if (urlText.starts_with("/")) {
        urlText = "file://" + urlText;
    }
    if (!urlText.starts_with("file:///") || urlText.ends_with("/")) {
        return std::nullopt;
    }
    return splitFolderAndFile(urlText);
}

}  // namespace

std::optional<FolderAndFile> StoredLogLocation::read() {
    std::optional<std::string> stored = Setting(defaults_, systemLog_).getFilePath();
    std::optional<FolderAndFile> location = stored ? locationIn(*stored) : std::nullopt;
    if (!stored || location) {
        reported_.reset();
    } else if (stored != reported_) {
        systemLog_.warning("The stored log location \"" + *stored +
                           "\" is neither a file URL nor an absolute file path; using the "
                           "default location instead.");
        reported_ = stored;
    }
    return location;
}

std::optional<FolderAndFile> storedLogLocation(UserDefaults& defaults, SystemLog& systemLog) {
    return StoredLogLocation(defaults, systemLog).read();
}

std::string LogPathLookup::path() {
    std::optional<FolderAndFile> stored = stored_.read();
    return stored ? stored->folder + stored->fileName : defaultLogPath(home_);
}

std::string logPath(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home) {
    return LogPathLookup(defaults, systemLog, home).path();
}

}  // namespace tesuko
