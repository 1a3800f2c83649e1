// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/app_delegate.h"
#include "platform/desktop_session.h"

namespace tesuko {

// Qt ends the process by itself when its own connection to the desktop
// breaks, maybe before our session notices: the xcb plugin with exit(1), the
// Wayland plugin (Qt 6.4) with _exit(1) right after a warning, from the main
// thread or from a reading thread of its own. A display server shutting down
// closes its clients one by one. Either way, while this lives, the interval
// in progress is written on the way out and the end of the desktop counts as
// a clean exit. Made after the QApplication, at most one at a time.
class LostDesktopExit {
  public:
    LostDesktopExit(AppDelegate& delegate, DesktopSession& session);
    ~LostDesktopExit();
    LostDesktopExit(const LostDesktopExit&) = delete;
    LostDesktopExit& operator=(const LostDesktopExit&) = delete;

    // For after the program wrote the interval its own way, having noticed
    // first: ends the process cleanly if the desktop is gone.
    void endIfDesktopLost();
};

}  // namespace tesuko
