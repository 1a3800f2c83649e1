// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_machines.h"

#include <algorithm>

#include "machines/machine_card.h"

namespace tesuko {

void ReportMachines::refresh() {
    own_.scanLog();
    folder_ = sharing_ ? sharing_->folder() : std::nullopt;
    readFolder();
    for (Other& machine : machines_) {
        if (!machine.scanner) {
            continue;
        }
        if (auto error = machine.scanner->scan(fileSystem_, machine.log.path)) {
            warnOnce("Cannot read the activity log " + machine.log.path + ": " + *error);
        }
    }
}

// The window refreshes every few seconds: each problem is said once a run.
void ReportMachines::warnOnce(const std::string& problem) {
    if (std::find(problems_.begin(), problems_.end(), problem) == problems_.end()) {
        sharing_->systemLog.warning(problem);
        problems_.push_back(problem);
    }
}

void ReportMachines::readFolder() {
    const MachineFolder found =
        folder_ ? readMachineFolder(fileSystem_, *folder_).value_or(MachineFolder())
                : MachineFolder();
    for (const std::string& problem : found.problems) {
        warnOnce(problem);
    }
    std::vector<Other> now;
    for (const MachineLog& log : found.logs) {
        auto known = std::find_if(machines_.begin(), machines_.end(),
                                  [&](const Other& other) { return other.log.path == log.path; });
        if (known != machines_.end()) {
            now.push_back(std::move(*known));
        } else if (log.path == own_.path()) {
            now.push_back({log, nullptr});
        } else {
            // Each start time in the zone of the machine that wrote it.
            std::optional<LocalDays> days = log.zone ? LocalDays::inZone(*log.zone) : std::nullopt;
            if (log.zone && !days) {
                sharing_->systemLog.warning(
                    log.path + ": the time zone " + *log.zone +
                    " is unknown here; its times are read in this machine's zone");
            }
            auto& scanner =
                now.emplace_back(Other{log, std::make_unique<CachedScanner>(
                                                sharing_->systemLog, days.value_or(LocalDays()))})
                    .scanner;
            scanner->setCache(std::make_unique<FileTotalsCache>(
                fileSystem_, sharing_->systemLog,
                totalsCachePath(sharing_->cacheFolder, log.path)));
        }
    }
    // The filter lists them by name, whatever order the folder gives.
    std::ranges::sort(now, {}, [](const Other& other) { return other.log.name; });
    machines_ = std::move(now);
}

std::vector<ShownLog> ReportMachines::logs() const {
    const bool ownListed = std::any_of(machines_.begin(), machines_.end(),
                                       [](const Other& other) { return !other.scanner; });
    std::vector<ShownLog> logs;
    if (!ownListed) {  // before this machine's first record in the folder, or without one
        logs.push_back({folder_ ? thisMachineCard(fileSystem_).name : std::string(), &own_.state(),
                        &own_.localDays()});
    }
    for (const Other& other : machines_) {
        logs.push_back(other.scanner ? ShownLog{other.log.name, &other.scanner->scanner().state(),
                                                &other.scanner->scanner().localDays()}
                                     : ShownLog{other.log.name, &own_.state(), &own_.localDays()});
    }
    return logs;
}

}  // namespace tesuko
