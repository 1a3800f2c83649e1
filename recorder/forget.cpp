// SPDX-License-Identifier: GPL-3.0-or-later
#include <map>

#include "log/switch_record.h"
#include "ranking/local_days.h"
#include "recorder/log_tail.h"
#include "recorder/recorder.h"

namespace tesuko {

namespace {

using namespace std::chrono;
using SteadyTime = steady_clock::time_point;
using Writes = LogAppender::Writes;

// Years of switches take some tens of megabytes; the log is rewritten in memory.
constexpr std::size_t kLargestLog = std::size_t(512) << 20;

// When each of our records in the log began, by the steady clock, by where
// it begins. Walking back from `next`, the earliest anything written after
// them can have begun: each ended when the next began or, before a pause,
// when it was written, whichever came first. Nothing when the log no longer
// holds the records where they were written.
std::map<std::uint64_t, SteadyTime> ownStarts(std::string_view log, const Writes& writes,
                                              SteadyTime next) {
    std::map<std::uint64_t, SteadyTime> starts;
    for (auto write = writes.rbegin(); write != writes.rend(); ++write) {
        const bool whole = write->end <= log.size() && log[write->end - 1] == '\n' &&
                           (write->begin == 0 || log[write->begin - 1] == '\n');
        const std::optional<double> seconds =
            whole ? recordSeconds(log.substr(write->begin, write->end - write->begin - 1))
                  : std::nullopt;
        if (!seconds) {
            return {};
        }
        next = std::min(write->at, next) -
               duration_cast<steady_clock::duration>(duration<double>(std::max(*seconds, 0.0)));
        starts.emplace(write->begin, next);
    }
    return starts;
}

// The instant a start field names, read as every reader of the log reads it.
std::optional<system_clock::time_point> startInstant(std::string_view field,
                                                     const LocalDays& localDays) {
    const std::optional<WallStart> wall = wallStartFromText(field);
    if (!wall) {
        return std::nullopt;
    }
    return system_clock::time_point(seconds(localDays.epochSeconds(*wall)));
}

// Our records where the rewrite of `size` bytes left them: those before the
// cut as they were, the one it shortened and the part of the interval in
// progress as if written at the cut.
Writes writesKept(const Writes& writes, const LogBefore& before, std::size_t size, SteadyTime cut) {
    Writes kept;
    for (const OwnAppends::Write& write : writes) {
        if (write.end <= before.unchanged) {
            kept.push_back(write);
        } else if (write.begin == before.unchanged && write.begin < before.kept.size()) {
            kept.push_back({write.begin, before.kept.find('\n', write.begin) + 1, cut});
        }
    }
    if (size > before.kept.size()) {
        kept.push_back({before.kept.size(), size, cut});
    }
    return kept;
}

}  // namespace

std::optional<LogProblem> Recorder::forget(std::chrono::seconds span) {
    const Instant current = now();
    const SteadyTime cut = current.monotonic - span;
    appender_.forgetUnwritten(cut);  // records a full disk held back go too
    if (!awaitingFileName_) {
        const std::string path = location_.path();
        FileSystem& fs = platform_.fileSystem;
        std::string log;
        if (fs.exists(path)) {
            FileContents read = fs.readSmallFile(path, kLargestLog);
            if (!read.bytes) {
                return LogProblem{LogProblem::Doing::readingLog, path, read.error};
            }
            log = std::move(*read.bytes);
            // Renaming over a link would leave the file it leads to as it
            // was: only a file of its own at the path is rewritten.
            Opened<FileWriter> own = fs.openForWriting(path, FileSystem::Links::refuse);
            if (!own.file) {
                return LogProblem{LogProblem::Doing::rewritingLog, path, own.error};
            }
        }
        // A line another program is still writing goes over as it ends up.
        log.resize(log.rfind('\n') + 1);

        // Our own records by the steady clock; the others by their start,
        // the wall clock taken as it stood for the oldest record we know.
        const Writes writes = appender_.ownWrites();
        const std::map<std::uint64_t, SteadyTime> starts =
            ownStarts(log, writes, startDate_.monotonic);
        const LocalDays localDays;
        system_clock::duration wallAhead =
            startDate_.wall.time_since_epoch() - startDate_.monotonic.time_since_epoch();
        if (!starts.empty()) {
            const auto& [begin, start] = *starts.begin();
            const std::size_t field = log.find(',', begin) - begin;
            if (auto wall = startInstant(log.substr(begin, field), localDays)) {
                wallAhead = wall->time_since_epoch() - start.time_since_epoch();
            }
        }
        const LogBefore before =
            logBefore(log, cut, [&](std::size_t offset, std::string_view field) {
                if (auto own = starts.find(offset); own != starts.end()) {
                    return std::optional(own->second);
                }
                std::optional<system_clock::time_point> wall = startInstant(field, localDays);
                return wall ? std::optional(SteadyTime(duration_cast<steady_clock::duration>(
                                  wall->time_since_epoch() - wallAhead)))
                            : std::nullopt;
            });
        const std::optional<std::string> part = recordBefore(cut);
        if (before.kept != log || part) {
            const std::string rewritten = before.kept + part.value_or("");
            if (FileError error = fs.replaceFileKeepingAppends(path, rewritten, log.size(),
                                                               FileSystem::Access::asBefore)) {
                return LogProblem{LogProblem::Doing::rewritingLog, path, *error};
            }
            appender_.reopenRewritten(writesKept(writes, before, rewritten.size(), cut));
        }
    }
    checkpoints_.remove();
    if (state_ == State::recording) {
        beginInterval(current, deactiveJapanAppName_);
    }
    return std::nullopt;
}

std::optional<std::string> Recorder::recordBefore(SteadyTime cut) {
    if (state_ != State::recording || !deactiveJapanAppName_ || startDate_.monotonic >= cut ||
        *deactiveJapanAppName_ == kLoginScreen) {
        return std::nullopt;
    }
    return composeRecord(heldRecord(cut));
}

}  // namespace tesuko
