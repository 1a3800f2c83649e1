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
        log.line("Cancel button was pressed.");
        return;
    }
    if (chosen.result != SavePanelResult::kConfirmed) {
        return;
    }

    const std::string& urlText = chosen.fileUrl;
    log.line("file saved '" + urlText + "'");
    setting_->setFilePath(urlText);

    FolderAndFile location = splitFolderAndFile(urlText);
    filePath_ = percentDecode(location.folder);
    saveFileName_ = percentDecode(location.fileName);

    std::string chosenPath = *filePath_ + saveFileName_;
    if (!platform_.fileSystem.exists(chosenPath)) {
        log.line("createFilePath");
        platform_.fileSystem.createEmptyFile(chosenPath);
    }
    log.line(saveFileName_);
    log.line("file saved '" + *filePath_ + "'");
}

}  // namespace tesuko
