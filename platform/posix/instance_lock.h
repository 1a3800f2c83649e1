// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/posix/unique_fd.h"

namespace tesuko {

// One running program per user: an exclusive lock on a file, held for as long
// as this object lives. The kernel drops the lock when its holder dies, so the
// lock file of a crashed run is simply taken over.
class InstanceLock {
  public:
    enum class Status { Acquired, HeldByAnother, Failed };

    // $XDG_STATE_HOME/tesuko/tesuko.lock, beside the interval in progress,
    // where every session of the user finds it whatever its runtime folder;
    // a per-user file in /tmp without a state folder.
    static std::string defaultPath(const std::string& stateFolder);

    // Makes the lock file's folder, private, when it is missing.
    explicit InstanceLock(const std::string& path);

    // Asks the process holding the lock at `path` to quit (SIGTERM: it writes
    // the interval in progress first) and waits up to `wait` for it to let go.
    enum class Quit { quit, notRunning, stillRunning, failed };
    struct QuitOutcome {
        Quit result;
        std::string error;  // why, when failed
    };
    static QuitOutcome askHolderToQuit(const std::string& path, std::chrono::milliseconds wait);

    Status status() const { return status_; }
    // Why the lock could not be had, when the status is Failed.
    const std::string& error() const { return error_; }

  private:
    void fail(const std::string& what, int error);

    UniqueFd fd_;
    Status status_ = Status::Failed;
    std::string error_;
};

}  // namespace tesuko
