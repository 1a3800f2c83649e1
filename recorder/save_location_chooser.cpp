// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/recorder.h"
#include "settings/file_url.h"

namespace tesuko {

namespace {

const std::vector<std::string> kAllowedFileTypes = {"csv", "'CSV'"};

}  // namespace

void Recorder::changeSaveAs() {
    SystemLog& log = platform_.systemLog;
    SavePanelResult chosen = platform_.savePanel.runModal(kAllowedFileTypes);
    if (chosen.result == SavePanelResult::kCancelled) {
        log.info("Cancel button was pressed.");
        return;
    }
    if (chosen.result != SavePanelResult::kConfirmed) {
        return;
    }

    const std::string& urlText = chosen.fileUrl;
    log.info("file saved '" + urlText + "'");
    setting_->setFilePath(urlText);

    FolderAndFile location = splitFolderAndFile(urlText);
    filePath_ = percentDecode(location.folder);
    saveFileName_ = percentDecode(location.fileName);

    std::string chosenPath = *filePath_ + saveFileName_;
    if (!platform_.fileSystem.exists(chosenPath)) {
        log.info("createFilePath");
        if (FileError error = platform_.fileSystem.createEmptyFile(chosenPath)) {
            log.error("Could not create " + chosenPath + ": " + faultText(*error));
        }
    }
    log.info(saveFileName_);
    log.info("file saved '" + *filePath_ + "'");
}

}  // namespace tesuko
