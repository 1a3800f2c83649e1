// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tesuko {

// The tray program: one per user, on the desktop of the session, until the
// user quits it, SIGTERM, SIGINT or SIGHUP arrives, or the session or its
// desktop ends; each way the interval in progress is written first. Returns
// the exit status: 0 after any of those, and when this user's tesuko already
// runs and showed its report window when asked; 1 when it runs out of reach
// of this session's bus; 2 without a desktop to watch.
int runTrayProgram(int argc, char** argv);

}  // namespace tesuko
