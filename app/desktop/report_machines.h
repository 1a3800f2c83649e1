// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "machines/machine_folder.h"
#include "platform/file_system.h"
#include "platform/system_log.h"
#include "ranking/cached_scanner.h"
#include "ranking/log.h"

namespace tesuko {

// Where the other machines' logs are, and what to tell of them.
struct MachineSharing {
    SystemLog& systemLog;
    std::string cacheFolder;  // for their totals caches
    // The shared folder, ending with "/", asked at each refresh: sharing may
    // be switched while the window is open. None while it is off.
    std::function<std::optional<std::string>()> folder;
};

// A log the report window shows, and whose machine it is.
struct ShownLog {
    std::string machine;
    const ScanState* state;
    const LocalDays* localDays;
};

// What the report window reads: the tray's own log and, while a shared
// folder is set, every other machine's log there, each counted in its
// machine's zone through its own totals cache (kept here, never in the
// shared folder). A machine whose log appears later is taken up at the next
// refresh.
class ReportMachines {
  public:
    ReportMachines(Log& own, FileSystem& fileSystem, std::optional<MachineSharing> sharing)
        : own_(own), fileSystem_(fileSystem), sharing_(std::move(sharing)) {}

    // Scans every log for what it gained.
    void refresh();
    // The shared folder of the last refresh; none while sharing is off.
    const std::optional<std::string>& folder() const { return folder_; }
    // Every log in the folder by machine name, the own one included.
    std::vector<ShownLog> logs() const;

  private:
    struct Other {
        MachineLog log;
        std::unique_ptr<CachedScanner> scanner;  // none for the own log
    };
    void readFolder();
    void warnOnce(const std::string& problem);

    Log& own_;
    FileSystem& fileSystem_;
    std::optional<MachineSharing> sharing_;
    std::optional<std::string> folder_;
    std::vector<Other> machines_;
    std::vector<std::string> problems_;  // told once each
};

}  // namespace tesuko
