// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/recorder.h"
#include "settings/file_url.h"

namespace tesuko {

namespace {

const std::vector<std::string> kAllowedFileTypes = {"csv", "'CSV'"};

}  // namespace

void Recorder::changeSaveAs() {
    SystemLog& log = platform_.systemLog;
    std::optional<std::string> chosen = platform_.savePanel.runModal(kAllowedFileTypes);
    if (!chosen) {
        log.info("Cancel button was pressed.");
        return;
    }
    // Stored as a file URL, as it always was.
    const std::string url = fileUrlFromPath(*chosen);
    log.info("file saved '" + url + "'");
    setting_->setFilePath(url);
    location_ = logLocationAt(*chosen);
    awaitingFileName_ = true;

    if (!platform_.fileSystem.exists(*chosen)) {
        log.info("createFilePath");
        if (FileError error = platform_.fileSystem.createEmptyFile(*chosen)) {
            log.error("Could not create " + *chosen + ": " + faultText(*error));
        }
    }
    log.info(location_.fileName);
    log.info("file saved '" + location_.folder + "'");
}

}  // namespace tesuko
