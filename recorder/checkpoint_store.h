// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "recorder/log_appender.h"

namespace tesuko {

// The interval in progress as it would be written now, kept on disk so that a
// hard kill, an OOM kill or a power cut loses at most the time since it was
// last saved. The next start writes it into the log it was meant for.
struct Checkpoint {
    std::string logPath;
    std::string record;  // one whole line of the log, line feed included
    // The device and inode of that log (size and times stay 0). Checkpoints
    // of the first version have none: only the path tells their log.
    std::optional<FileIdentity> logFile;
};

std::string encodeCheckpoint(const Checkpoint& checkpoint);
// nullopt for bytes that are damaged or of an unknown version.
std::optional<Checkpoint> decodeCheckpoint(std::string_view bytes);

// The file that keeps the interval in progress between its saves, in the
// user's state folder.
class CheckpointStore {
  public:
    CheckpointStore(FileSystem& fileSystem, SystemLog& systemLog, HomeFolder& homeFolder);

    // Called about once a minute: says so when saving starts failing, not
    // every time.
    void save(const Checkpoint& checkpoint);
    void remove();
    // Writes a checkpoint an earlier run left into `log`, whose path is
    // `logPath`, when it belongs there; else keeps it beside itself.
    void recover(LogAppender& log, const std::string& logPath);

  private:
    // Keeps the checkpoint's bytes beside it, unwritten, and says why.
    void setAside(const std::string& bytes, const std::string& why);

    FileSystem& fileSystem_;
    SystemLog& systemLog_;
    std::string path_;
    bool failing_ = false;
};

}  // namespace tesuko
