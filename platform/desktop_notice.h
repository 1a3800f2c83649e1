// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tesuko {

// What the user must do, or know, before a desktop can be watched. Only
// GNOME Shell asks for anything so far: tesuko's extension must run in it.
struct DesktopNotice {
    enum class Kind {
        extensionsTurnedOff,  // the user turned extensions off as a whole
        extensionDisabled,    // ours is off, and the Shell would not enable it
        shellVersionUnknown,  // no extension can be picked
        shellTooOld,          // `shell` is the oldest version the extension runs on
        extensionNotShipped,  // missing from tesuko's own installation
        noHomeFolder,         // nowhere to install it
        installFailed,        // `detail` says why
        extensionFailed,      // `detail` is the Shell's error
        untestedShell,        // tested up to `shell`, not yet `runningShell`
        enableExtensionsAndLogIn,
        logInAgain,  // the Shell loads extensions only at login
    };
    Kind kind = Kind::logInAgain;
    int shell = 0;
    int runningShell = 0;
    std::string detail;

    bool operator==(const DesktopNotice&) const = default;
};

}  // namespace tesuko
