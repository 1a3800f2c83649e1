// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tesuko {

// `tesuko --quit`: asks the running tesuko to write the interval in progress
// and exit, and waits until it has. 0 once it exited; 1 when none was
// running or it did not exit in time.
int runQuitCommand();

}  // namespace tesuko
