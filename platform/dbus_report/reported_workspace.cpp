// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus_report/reported_workspace.h"

#include <utility>

namespace tesuko {

ReportedWorkspace::ReportedWorkspace(ReportedWindowList& windows,
                                     std::chrono::milliseconds noneHeldFor)
    : windows_(windows) {
    noneHeld_.setSingleShot(true);
    noneHeld_.setInterval(noneHeldFor);
    QObject::connect(&noneHeld_, &QTimer::timeout, [this] { showNone(); });
}

std::optional<std::string> ReportedWorkspace::activeApplication() {
    if (!active_) {
        return std::nullopt;
    }
    return active_->name;
}

void ReportedWorkspace::take(const DesktopReport& report) {
    if (!report.application) {
        if (!noneSince_) {
            noneSince_ = report.at;
            noneHeld_.start();
        }
        return;
    }
    // A window after a held "none" ends the burst: one switch, timed by the
    // burst's first report.
    TimePoint when = noneSince_.value_or(report.at);
    noneHeld_.stop();
    noneSince_.reset();
    windows_.bringToFront(*report.application, report.title);
    if (active_ && active_->name == *report.application) {
        return;  // a new title, or another window of the same application
    }
    post(Application{*report.application, report.pid}, when);
}

void ReportedWorkspace::dropHeld() {
    noneHeld_.stop();
    noneSince_.reset();
}

void ReportedWorkspace::showNone() {
    TimePoint when = *std::exchange(noneSince_, std::nullopt);
    if (active_) {
        post(std::nullopt, when);
    }
}

void ReportedWorkspace::post(std::optional<Application> activated, TimePoint when) {
    ApplicationSwitch change{std::exchange(active_, activated), std::move(activated), when};
    if (handler_) {
        // A copy: the handler may unsubscribe while it runs.
        SwitchHandler handler = handler_;
        handler(change);
    }
}

}  // namespace tesuko
