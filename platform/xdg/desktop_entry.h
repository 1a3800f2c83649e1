// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesuko {

// The launcher's name without ".desktop", and the name of the program's icon.
inline constexpr std::string_view kApplicationId = "io.github.tesuko.Tesuko";

// What an autostart entry says about starting a program at login.
struct DesktopEntry {
    std::string type;
    std::optional<std::string> exec;  // string escapes already undone
    bool hidden = false;
    bool autostartEnabled = true;

    // An application entry that is neither hidden nor switched off.
    bool startsAtLogin() const { return type == "Application" && !hidden && autostartEnabled; }
};

// Reads the [Desktop Entry] group of a key file. Nothing when the text is not a
// key file (a line that is neither comment, group nor key) or has no such group.
// Pure, no I/O, so that any bytes may be fed to it.
std::optional<DesktopEntry> parseDesktopEntry(std::string_view text);

// The arguments of an Exec value: quoting undone, "%%" made "%", other field
// codes dropped (autostart hands no files or URLs). Nothing when a quote is left
// open, a field code is unknown, or no argument remains.
std::optional<std::vector<std::string>> splitExec(std::string_view exec);

// An Exec value that runs exactly this program, whatever characters its path holds.
std::string execValueFor(std::string_view programPath);

// A complete autostart entry for the program: it runs after the panel, with
// the program's icon, and only while the program exists.
std::string desktopEntryFor(std::string_view programPath);

}  // namespace tesuko
