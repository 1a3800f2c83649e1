// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tesuko {

// Whether Qt's own connection to the X display has broken. Qt ends the
// process with exit(1) when it has; this tells that exit from any other.
bool qtDisplayConnectionBroken();

}  // namespace tesuko
