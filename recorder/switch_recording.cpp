// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/switch_record.h"
#include "recorder/recorder.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

constexpr std::size_t kMinimumTitleLength = 2;  // UTF-16 code units

}  // namespace

void Recorder::showActiveApplication(const ApplicationSwitch& change) {
    std::optional<std::string> deactivated;
    if (change.deactivated) {
        deactivated = change.deactivated->name;
        platform_.systemLog.trace("DidDeactiveApplicationName: " + *deactivated);
    }
    if (state_ != State::recording) {
        return;  // no interval open: the next one starts with resume()
    }
    endInterval(change.when ? instantAt(*change.when) : now(),
                tracked(change.activated ? std::optional(change.activated->name) : std::nullopt),
                deactivated);
}

void Recorder::endInterval(const Instant& end, std::optional<std::string> next,
                           const std::optional<std::string>& deactivated) {
    if (auto record = intervalRecord(end, deactivated, Tracing::on)) {
        appender_.append(std::move(*record), startDate_.monotonic);
    }
    // The interval just written must not be written again after a crash; the
    // next one is saved by the next periodic checkpoint.
    checkpoints_.remove();
    beginInterval(end, std::move(next));
}

void Recorder::saveCheckpoint() {
    appender_.writeUnwritten();  // the front end's minute is also the time to try again
    const std::optional<FileIdentity> log = appender_.openFile();
    if (state_ != State::recording || !log) {
        return;
    }
    if (std::optional<std::string> record = intervalRecord(now(), std::nullopt, Tracing::off)) {
        checkpoints_.save({location_.path(), *record, FileIdentity{log->device, log->inode}});
    } else {
        checkpoints_.remove();
    }
}

void Recorder::beginInterval(const Instant& start, std::optional<std::string> application) {
    keyDownCount_ = 0;
    clickCount_ = 0;
    startDate_ = start;
    deactiveJapanAppName_ = std::move(application);
}

// The held application's front-most usable window names the interval; when it
// has none, its name stands in, except for the login screen.
std::optional<std::string> Recorder::intervalRecord(const Instant& end,
                                                    const std::optional<std::string>& deactivated,
                                                    Tracing tracing) {
    if (!deactiveJapanAppName_) {
        return std::nullopt;
    }
    const std::string& held = *deactiveJapanAppName_;
    SwitchRecord record = heldRecord(end.monotonic);
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
    } else if (held == kLoginScreen) {
        return std::nullopt;
    }
    return composeRecord(record);
}

SwitchRecord Recorder::heldRecord(std::chrono::steady_clock::time_point end) {
    const bool counted = platform_.inputMonitors.available();
    return {platform_.clock.localTime(startDate_.wall),
            *deactiveJapanAppName_,
            *deactiveJapanAppName_,
            counted ? std::optional(clickCount_) : std::nullopt,
            counted ? std::optional(keyDownCount_) : std::nullopt,
            std::chrono::duration<double>(end - startDate_.monotonic).count()};
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

}  // namespace tesuko
