// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "platform/desktop_notice.h"
#include "platform/file_system.h"

namespace tesuko {

// The items of the tray menu that the controller drives.
enum class MenuItem {
    StartRecord,
    StopRecord,
    PauseFor15Minutes,
    PauseFor1Hour,
    PauseUntilTomorrow,
    ForgetLast15Minutes,
    SaveAs,
    ShareWithOtherMachines,
    OpenAtLogin,
    PauseWhenIdle,
    Privacy,
    ShowReport,
    Rank1,
    Rank2,
    Rank3,
    Rank4,
    Rank5
};

// The command an item sends when chosen, named after the item that sends it
// (the ranking rows send none). An item without one is disabled.
using MenuCommand = MenuItem;

// What the tray icon shows.
enum class TrayState { recording, paused, stopped };

// Why the log, or its folder, at `path` did not take what the recorder did.
struct LogProblem {
    enum class Doing { creatingFolder, openingLog, writingRecord, readingLog, rewritingLog };
    Doing doing = Doing::writingRecord;
    std::string path;
    FileFault fault;

    bool operator==(const LogProblem&) const = default;
};

// What the program is doing, as the tooltip says it.
struct Recording {
    std::optional<LogProblem> writeProblem;
    bool inputCounted = true;  // some desktops show no program another one's input

    bool operator==(const Recording&) const = default;
};
struct Stopped {
    bool operator==(const Stopped&) const = default;
};
// Paused from the menu until a local time, a day ahead at most.
struct PausedUntil {
    int hour = 0;
    int minute = 0;
    bool tomorrow = false;

    bool operator==(const PausedUntil&) const = default;
};
// Paused while the user is away.
enum class Away { screenLocked, asleep, idle };

using RecordingState = std::variant<Stopped, Recording, PausedUntil, Away>;

// The rules file has lines that do not apply, or cannot be read; what each
// line's problem is goes to the system log.
struct RulesTrouble {
    std::string path;
    std::size_t problems = 0;  // none: the file cannot be read
    int line = 0;              // where the first is
    int column = 0;

    bool operator==(const RulesTrouble&) const = default;
};

struct Status {
    RecordingState state;
    std::optional<LogProblem> forgetProblem;  // the last Forget's, until the next
    std::optional<DesktopNotice> desktopNotice;
    std::optional<RulesTrouble> rulesTrouble{};

    bool operator==(const Status&) const = default;
};

// The icon in the tray and its menu.
class StatusMenu {
  public:
    using CommandHandler = std::function<void(MenuCommand)>;
    using OpenHandler = std::function<void()>;

    virtual ~StatusMenu() = default;

    // Puts the icon into the tray; an unknown image leaves it without one.
    virtual void showIcon(const std::string& imageName) = 0;
    virtual std::optional<MenuCommand> action(MenuItem item) = 0;
    virtual void setAction(MenuItem item, std::optional<MenuCommand> command) = 0;
    virtual void setState(MenuItem item, bool on) = 0;
    virtual void setTitle(MenuItem item, const std::string& title) = 0;
    // What the program is doing, shown when the pointer rests on the icon.
    virtual void showStatus(const Status& status) = 0;
    // Where the log is, shown with the status.
    virtual void showLogPath(const std::string& path) = 0;
    virtual void showTrayState(TrayState state) = 0;

    // Called with an item's command when the user chooses it.
    virtual void onCommand(CommandHandler handler) = 0;
    // Called each time the menu is about to open.
    virtual void onMenuWillOpen(OpenHandler handler) = 0;
};

}  // namespace tesuko
