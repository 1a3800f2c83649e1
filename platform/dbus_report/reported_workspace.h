// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <chrono>
#include <optional>
#include <string>

#include "platform/dbus_report/desktop_report.h"
#include "platform/dbus_report/reported_window_list.h"
#include "platform/workspace.h"

namespace tesuko {

// Turns the compositor's reports into application switches: one for every
// change of application, none for a new title or another window of the same
// application. A report of no active window is held back for a moment, since
// the compositor passes through "none" on its way from one window to the next.
class ReportedWorkspace : public Workspace {
  public:
    // KWin reports "no active window" and then the next window at the same
    // instant when the user moves between two windows; the second report
    // follows within a few milliseconds even on a loaded machine. Long enough
    // to catch it, short enough that a real "none" (the last window closed,
    // the desktop clicked) is not recorded late by anything the user would
    // notice.
    static constexpr std::chrono::milliseconds kNoneHeldFor{50};

    explicit ReportedWorkspace(ReportedWindowList& windows,
                               std::chrono::milliseconds noneHeldFor = kNoneHeldFor);

    // Takes a report, in the order they arrived.
    void take(const DesktopReport& report);
    // Drops a "none" held back: the desktop is gone, and nothing more is posted.
    void dropHeld();

    std::optional<std::string> activeApplication() override;
    void subscribeSwitches(SwitchHandler handler) override { handler_ = std::move(handler); }
    void unsubscribeSwitches() override { handler_ = nullptr; }

  private:
    using TimePoint = std::chrono::steady_clock::time_point;

    void showNone();
    void post(std::optional<Application> activated, TimePoint when);

    ReportedWindowList& windows_;
    std::optional<Application> active_;
    SwitchHandler handler_;
    QTimer noneHeld_;
    std::optional<TimePoint> noneSince_;  // a "none" waits for its window
};

}  // namespace tesuko
