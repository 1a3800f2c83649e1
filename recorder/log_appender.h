// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "log/own_appends.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/status_menu.h"
#include "platform/system_log.h"

namespace tesuko {

// The problem in English, for the system log: "Could not rewrite PATH: why".
std::string logProblemText(const LogProblem& problem);

// Holds the activity log open at its end and appends records to it. Records
// that cannot be written wait in memory, oldest first, and go out before the
// next one, or at the next try, once the log takes them again.
class LogAppender {
  public:
    LogAppender(FileSystem& fileSystem, SystemLog& systemLog, Clock& clock);
    ~LogAppender();

    // What to do when there is no file at the log's path: create it, or wait
    // for the next openAt() that may. Its folders are made either way.
    enum class Missing { create, wait };
    // Takes the log at `path` from now on and opens it, clearing away what a
    // killed rewrite left beside it. A link there now is the user's own
    // choice, which every later opening follows; a link that appears later
    // is not.
    void openAt(std::string path, Missing missing = Missing::create);
    using Writes = std::deque<OwnAppends::Write>;
    // After the log was rewritten beside itself and renamed over: opens the
    // new file, in which this run's records are `writes`.
    void reopenRewritten(Writes writes);

    // Writes the record after those still waiting, or keeps it waiting too.
    void append(std::string record, std::chrono::steady_clock::time_point began);
    void writeUnwritten();
    // Takes out the waiting records that began at or after `since` (by the
    // monotonic clock) and shortens the one that runs past it.
    void forgetUnwritten(std::chrono::steady_clock::time_point since);
    std::size_t unwrittenRecords() const { return unwritten_.size(); }
    // Writes `record` to the open log (there must be one) at once, noting it
    // as ours: records go through append(); this is for one an earlier run
    // left unwritten.
    FileError write(std::string_view record);

    // The open log file; nullopt while none is open.
    std::optional<FileIdentity> openFile() const;
    // This run's records in the log as it stands at its path; none when the
    // file there changed otherwise than by appends.
    Writes ownWrites();
    // The appender's own writes to the open log since it changed otherwise;
    // nullopt before the log was first opened.
    const std::optional<OwnAppends>& ownAppends() const { return ownAppends_; }
    // Why records cannot be written at the moment, or nullopt while they can.
    const std::optional<LogProblem>& writeProblem() const { return writeProblem_; }
    void onWriteProblemChanged(std::function<void()> handler) {
        onWriteProblemChanged_ = std::move(handler);
    }

  private:
    struct Unwritten {
        std::chrono::steady_clock::time_point began;
        std::string record;
    };

    void open(FileSystem::Links links);
    // The file `found` is the one our records went to, and it only grew since.
    bool onlyGrew(const FileIdentity& found) const;
    void reportWriteProblem(std::optional<LogProblem> problem);

    FileSystem& fileSystem_;
    SystemLog& systemLog_;
    Clock& clock_;
    std::string path_;
    Missing missing_ = Missing::wait;
    bool chosenLink_ = false;  // the log's path was a link when it was taken
    std::unique_ptr<FileWriter> file_;
    std::optional<OwnAppends> ownAppends_;
    std::optional<LogProblem> writeProblem_;
    std::function<void()> onWriteProblemChanged_;
    std::deque<Unwritten> unwritten_;
    std::size_t unwrittenBytes_ = 0;
    std::size_t droppedRecords_ = 0;  // the oldest, since the last that was written
};

}  // namespace tesuko
