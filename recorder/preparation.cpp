#include "recorder/log_location.h"
#include "recorder/recorder.h"
#include "settings/file_url.h"

namespace tesuko {

namespace {

std::string parentFolder(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

}  // namespace

Recorder::Recorder(Platform& platform) : platform_(platform) {
    init();
}

Recorder::~Recorder() {
    // Nothing may call back into a recorder that is gone.
    if (isRun_) {
        stop();
    }
}

Recorder& Recorder::init() {
    setting_.emplace(platform_.userDefaults, platform_.systemLog);
    isRun_ = false;

    if (filePath_) {
        resolveHeldPath();
    } else if (auto persisted = setting_->getFilePath()) {
        resolvePersistedLocation(*persisted);
    } else {
        resolveDefaultLocation();
    }
    openLog();

    // The interval that starts now belongs to the application in front now, so
    // the first switch after a start already has something to write.
    deactiveJapanAppName_ = platform_.workspace.activeApplication();
    startDate_ = now();
    return *this;
}

void Recorder::resolveHeldPath() {
    std::string& path = *filePath_;
    FileSystem& fs = platform_.fileSystem;
    if (path.ends_with('/')) {
        fs.createDirectories(path);
        path += saveFileName_;
    } else if (!fs.exists(path)) {
        // The log or its folder was removed since the last start: recording goes
        // on where the user chose. Never a folder at the log's own path.
        fs.createDirectories(parentFolder(path));
    }
}

void Recorder::resolvePersistedLocation(const std::string& urlText) {
    FolderAndFile location = splitFolderAndFile(urlText);
    filePath_ = location.folder;
    if (!platform_.fileSystem.exists(location.folder)) {
        platform_.fileSystem.createDirectories(location.folder);
    }
    saveFileName_ = location.fileName;
}

void Recorder::resolveDefaultLocation() {
    std::string home = platform_.homeFolder.path();
    platform_.fileSystem.createDirectories(defaultLogFolder(home));
    filePath_ = defaultLogPath(home);
    saveFileName_.clear();
}

void Recorder::reopenLog() {
    platform_.fileSystem.createDirectories(parentFolder(*filePath_));
    openLog();
}

void Recorder::openLog() {
    const std::string& path = *filePath_;
    fileHandle_.reset();
    if (path.ends_with('/')) {
        return;  // a folder awaiting its file name: the next preparation opens the log
    }
    FileSystem& fs = platform_.fileSystem;
    if (!fs.exists(path)) {
        fs.createEmptyFile(path);
    }
    Opened<FileWriter> opened = fs.openForWriting(path);
    if (!opened.file) {
        platform_.systemLog.line("Could not open the log " + path + ": " + opened.error);
        return;
    }
    fileHandle_ = std::move(opened.file);
    fileHandle_->seekToEnd();
}

Recorder::Instant Recorder::now() {
    return Instant{platform_.clock.wallNow(), platform_.clock.monotonicNow()};
}

}  // namespace tesuko
