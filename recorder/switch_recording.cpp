#include <vector>

#include "recorder/recorder.h"
#include "recorder/switch_record.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

constexpr std::size_t kShortIdentifierToken = 8;
constexpr std::size_t kMinimumTitleLength = 2;  // UTF-16 code units

// The ninth space-separated token of the user-info text, after its last ".".
std::optional<std::string> shortIdentifierName(std::string_view userInfo) {
    std::size_t start = 0;
    for (std::size_t token = 0; token < kShortIdentifierToken; ++token) {
        std::size_t space = userInfo.find(' ', start);
        if (space == std::string_view::npos) {
            return std::nullopt;
        }
        start = space + 1;
    }
    std::string_view token = userInfo.substr(start, userInfo.find(' ', start) - start);
    std::size_t dot = token.rfind('.');
    return std::string(dot == std::string_view::npos ? token : token.substr(dot + 1));
}

}  // namespace

void Recorder::showActiveApplication(const DeactivationNotification& notification) {
    std::optional<std::string> shortName;
    if (notification.userInfo) {
        shortName = shortIdentifierName(*notification.userInfo);
        if (shortName) {
            platform_.systemLog.trace("DidDeactiveApplicationName: " + *shortName);
        }
    }
    closeInterval(shortName, notification.when);
    // The interval just written must not be written again after a crash; the
    // next one is saved by the next periodic checkpoint.
    removeCheckpoint();
}

void Recorder::closeInterval(const std::optional<std::string>& shortName,
                             std::optional<std::chrono::steady_clock::time_point> when) {
    Instant end = when ? instantAt(*when) : now();
    std::optional<std::string> active = platform_.workspace.activeApplication();
    if (auto record = intervalRecord(end, shortName, Tracing::on)) {
        append(*record);
    }
    keyDownCount_ = 0;
    clickCount_ = 0;
    startDate_ = end;
    deactiveJapanAppName_ = std::move(active);
}

// The held application's front-most usable window names the interval; when it
// has none, its name stands in, except for the login window.
std::optional<std::string> Recorder::intervalRecord(const Instant& end,
                                                    const std::optional<std::string>& shortName,
                                                    Tracing tracing) {
    if (!deactiveJapanAppName_) {
        return std::nullopt;
    }
    const std::string& held = *deactiveJapanAppName_;
    std::vector<WindowInfo> windows = platform_.windowList.onScreenWindows();
    if (windows.empty()) {
        return std::nullopt;
    }
    double seconds = std::chrono::duration<double>(end.monotonic - startDate_.monotonic).count();
    SwitchRecord record{platform_.clock.localTime(startDate_.wall),
                        held,
                        held,
                        clickCount_,
                        keyDownCount_,
                        seconds};
    std::optional<std::string> title = frontTitle(windows, shortName);
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

std::optional<std::string> Recorder::frontTitle(const std::vector<WindowInfo>& windows,
                                                const std::optional<std::string>& shortName) const {
    for (const WindowInfo& window : windows) {
        if (!window.ownerName) {
            continue;
        }
        bool belongs = *window.ownerName == *deactiveJapanAppName_ ||
                       (shortName && *window.ownerName == *shortName);
        std::string_view title = window.title ? std::string_view(*window.title) : "";
        if (belongs && utf8::utf16Length(title) >= kMinimumTitleLength) {
            return std::string(title);
        }
    }
    return std::nullopt;
}

void Recorder::append(const std::string& record) {
    std::string path = filePath_.value_or("");
    if (fileHandle_ && !fileHandle_->stillAt(path)) {
        // Records written to a removed file would be lost without a word.
        platform_.systemLog.warning("The log " + path + " was moved or removed; starting it again");
        fileHandle_.reset();
    }
    if (!fileHandle_) {
        // Whatever kept the log from opening may have passed: every record tries again.
        openLog(FileSystem::Links::refuse);
    }
    if (!fileHandle_) {
        platform_.systemLog.error("Could not write a record to " + path + ": the log is not open");
        return;
    }
    if (auto error = fileHandle_->write(record)) {
        reportWriteProblem("Could not write a record to " + path + ": " + *error);
        return;
    }
    reportWriteProblem(std::nullopt);
}

void Recorder::reportWriteProblem(std::optional<std::string> problem) {
    if (problem) {
        platform_.systemLog.error(*problem);
    }
    if (problem != writeProblem_) {
        writeProblem_ = std::move(problem);
        if (onWriteProblemChanged_) {
            onWriteProblemChanged_();
        }
    }
}

}  // namespace tesuko
