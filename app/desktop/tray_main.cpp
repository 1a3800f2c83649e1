// SPDX-License-Identifier: GPL-3.0-or-later
// The tray program, which `tesuko` runs when given no command.
#include <sys/prctl.h>

#include "app/desktop/tray_program.h"
#include "platform/posix/huge_page_memory.h"

int main(int argc, char** argv) {
    // The name ps, pkill and the desktop's window lists know it by.
    ::prctl(PR_SET_NAME, "tesuko");
    tesuko::useHugePagesForLargeBlocks();
    return tesuko::runTrayProgram(argc, argv);
}
