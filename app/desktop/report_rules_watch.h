// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/status_menu.h"
#include "platform/system_log.h"

namespace tesuko {

// Reads the rules file again whenever it changes, however an editor writes
// it (in place, or a new file renamed over it), and says what is wrong with
// it: each broken line in the system log, once, and a summary for the
// tooltip. Reports read the rules themselves; this is for the user who edits.
class RulesWatch {
  public:
    using OnTrouble = std::function<void(std::optional<RulesTrouble>)>;

    RulesWatch(FileSystem& fileSystem, SystemLog& systemLog, std::string path, OnTrouble onTrouble);

  private:
    void watch();
    void reload();

    FileSystem& fileSystem_;
    SystemLog& systemLog_;
    std::string path_;
    OnTrouble onTrouble_;
    QFileSystemWatcher watcher_;
    QTimer settle_;                  // an editor's save is several changes
    std::vector<std::string> said_;  // the problems the system log has
};

}  // namespace tesuko
