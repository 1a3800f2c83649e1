// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/save_location_chooser.h"

#include "settings/file_url.h"

namespace tesuko {

std::optional<LogLocation> chooseLogLocation(Platform& platform, Setting& setting) {
    SystemLog& log = platform.systemLog;
    std::optional<std::string> chosen = platform.savePanel.runModal({"csv", "'CSV'"});
    if (!chosen) {
        log.info("Cancel button was pressed.");
        return std::nullopt;
    }
    // Stored as a file URL, as it always was.
    const std::string url = fileUrlFromPath(*chosen);
    log.info("file saved '" + url + "'");
    setting.setFilePath(url);
    LogLocation location = logLocationAt(*chosen);

    if (!platform.fileSystem.exists(*chosen)) {
        log.info("createFilePath");
        if (FileError error = platform.fileSystem.createEmptyFile(*chosen)) {
            log.error("Could not create " + *chosen + ": " + faultText(*error));
        }
    }
    log.info(location.fileName);
    log.info("file saved '" + location.folder + "'");
    return location;
}

}  // namespace tesuko
