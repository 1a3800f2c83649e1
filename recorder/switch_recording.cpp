// SPDX-License-Identifier: GPL-3.0-or-later
#include <charconv>
#include <vector>

#include "log/switch_record.h"
#include "recorder/recorder.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

constexpr std::size_t kMinimumTitleLength = 2;  // UTF-16 code units

}  // namespace

std::string logProblemText(const LogProblem& problem) {
    constexpr const char* kDoing[] = {"Could not create the folder ", "Could not open the log ",
                                      "Could not write a record to ", "Could not read ",
                                      "Could not rewrite "};
    return kDoing[static_cast<int>(problem.doing)] + problem.path + ": " + faultText(problem.fault);
}

void Recorder::showActiveApplication(const ApplicationSwitch& change) {
    std::optional<std::string> deactivated;
    if (change.deactivated) {
        deactivated = change.deactivated->name;
        platform_.systemLog.trace("DidDeactiveApplicationName: " + *deactivated);
    }
    if (state_ != State::recording) {
        return;  // no interval open: the next one starts with resume()
    }
    Instant end = change.when ? instantAt(*change.when) : now();
    endInterval(end, deactivated);
    beginInterval(end,
                  tracked(change.activated ? std::optional(change.activated->name) : std::nullopt));
}

void Recorder::endInterval(const Instant& end, const std::optional<std::string>& deactivated) {
    if (auto record = intervalRecord(end, deactivated, Tracing::on)) {
        append(std::move(*record), startDate_.monotonic);
    }
    // The interval just written must not be written again after a crash; the
    // next one is saved by the next periodic checkpoint.
    removeCheckpoint();
}

void Recorder::beginInterval(const Instant& start, std::optional<std::string> application) {
    keyDownCount_ = 0;
    clickCount_ = 0;
    startDate_ = start;
    deactiveJapanAppName_ = std::move(application);
}

// The held application's front-most usable window names the interval; when it
// has none, its name stands in, except for the login window.
std::optional<std::string> Recorder::intervalRecord(const Instant& end,
                                                    const std::optional<std::string>& deactivated,
                                                    Tracing tracing) {
    if (!deactiveJapanAppName_) {
        return std::nullopt;
    }
    const std::string& held = *deactiveJapanAppName_;
    double seconds = std::chrono::duration<double>(end.monotonic - startDate_.monotonic).count();
    const bool counted = platform_.inputMonitors.available();
    SwitchRecord record{platform_.clock.localTime(startDate_.wall),
                        held,
                        held,
                        counted ? std::optional(clickCount_) : std::nullopt,
                        counted ? std::optional(keyDownCount_) : std::nullopt,
                        seconds};
    // A desktop may show no window at all, after the last one closed, say:
    // the interval still happened, under its application's name.
    std::optional<std::string> title = frontTitle(deactivated);
    if (title && privacy_.hidesTitle(held, *title)) {
        title.reset();  // written as a window without a usable title would be
    }
    if (tracing == Tracing::on) {
        platform_.systemLog.trace(title ? "log:" + fieldText(*title) : utf8::valid(held));
    }
    if (title) {
        record.title = *title;
    } else if (held == "loginwindow") {
        return std::nullopt;
    }
    return composeRecord(record);
}

std::optional<std::string> Recorder::frontTitle(const std::optional<std::string>& deactivated) {
    std::optional<WindowInfo> front =
        platform_.windowList.frontMostWindow([&](const WindowInfo& window) {
            const bool belongs =
                window.ownerName && (*window.ownerName == *deactiveJapanAppName_ ||
                                     (deactivated && *window.ownerName == *deactivated));
            return belongs && window.title &&
                   utf8::utf16Length(*window.title) >= kMinimumTitleLength;
        });
    return front ? front->title : std::nullopt;
}

// Holding records back keeps a full disk from losing them, within bounds that
// a day of switching stays far below, whatever the titles.
void Recorder::append(std::string record, std::chrono::steady_clock::time_point began) {
    constexpr std::size_t kMostRecords = 10'000;
    constexpr std::size_t kMostBytes = std::size_t(16) << 20;
    unwrittenBytes_ += record.size();
    unwritten_.push_back({began, std::move(record)});
    while (unwritten_.size() > kMostRecords || unwrittenBytes_ > kMostBytes) {
        if (droppedRecords_++ == 0) {
            platform_.systemLog.error("Too many records wait to be written: dropping the oldest");
        }
        unwrittenBytes_ -= unwritten_.front().record.size();
        unwritten_.pop_front();
    }
    writeUnwritten();
}

void Recorder::writeUnwritten() {
    if (unwritten_.empty()) {
        return;
    }
    const bool failing = writeProblem_.has_value() || droppedRecords_ > 0;
    std::string path = filePath();
    if (fileHandle_ && !fileHandle_->stillAt(path)) {
        // Records written to a removed file would be lost without a word.
        platform_.systemLog.warning("The log " + path + " was moved or removed; starting it again");
        fileHandle_.reset();
    }
    if (!fileHandle_) {
        // Whatever kept the log from opening may have passed: every record tries again.
        openLog(chosenLink_ ? FileSystem::Links::follow : FileSystem::Links::refuse);
    }
    const std::size_t waiting = unwritten_.size();
    while (!unwritten_.empty()) {
        if (!fileHandle_) {
            platform_.systemLog.error("Could not write a record to " + path +
                                      ": the log is not open");
            break;
        }
        FileIdentity before = fileHandle_->identity();
        if (auto error = fileHandle_->write(unwritten_.front().record)) {
            reportWriteProblem(LogProblem{LogProblem::Doing::writingRecord, path, *error});
            break;
        }
        ownAppends_->add(before, fileHandle_->identity());
        unwrittenBytes_ -= unwritten_.front().record.size();
        unwritten_.pop_front();
    }
    if (!unwritten_.empty()) {
        platform_.systemLog.warning("Records waiting in memory to be written: " +
                                    std::to_string(unwritten_.size()));
        return;
    }
    if (failing) {
        platform_.systemLog.info(
            "The log takes records again: wrote the " + std::to_string(waiting) +
            " kept in memory" +
            (droppedRecords_ > 0 ? "; " + std::to_string(droppedRecords_) + " older ones were lost"
                                 : ""));
    }
    droppedRecords_ = 0;
    reportWriteProblem(std::nullopt);
}

void Recorder::forgetUnwritten(std::chrono::steady_clock::time_point since) {
    while (!unwritten_.empty() && unwritten_.back().began >= since) {
        unwrittenBytes_ -= unwritten_.back().record.size();
        unwritten_.pop_back();
    }
    if (unwritten_.empty()) {
        return;
    }
    std::string& record = unwritten_.back().record;
    const std::size_t secondsAt = record.rfind(',') + 1;
    double seconds = 0;
    std::from_chars(record.data() + secondsAt, record.data() + record.size() - 1, seconds);
    const double before = std::chrono::duration<double>(since - unwritten_.back().began).count();
    if (seconds > before) {
        unwrittenBytes_ -= record.size();
        record.resize(secondsAt);
        appendSeconds(record, before);
        record += '\n';
        unwrittenBytes_ += record.size();
    }
}

void Recorder::reportWriteProblem(std::optional<LogProblem> problem) {
    if (problem) {
        platform_.systemLog.error(logProblemText(*problem));
    }
    if (problem != writeProblem_) {
        writeProblem_ = std::move(problem);
        if (onWriteProblemChanged_) {
            onWriteProblemChanged_();
        }
    }
}

}  // namespace tesuko
