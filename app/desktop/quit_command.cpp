// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/quit_command.h"

#include <chrono>
#include <cstdio>

#include "platform/posix/env_home_folder.h"
#include "platform/posix/instance_lock.h"

namespace tesuko {

int runQuitCommand() {
    using Quit = InstanceLock::Quit;
    EnvHomeFolder home;
    const auto outcome = InstanceLock::askHolderToQuit(
        InstanceLock::defaultPath(home.stateFolder()), std::chrono::seconds(10));
    switch (outcome.result) {
        case Quit::quit:
            return 0;
        case Quit::notRunning:
            std::fputs("tesuko: tesuko is not running\n", stderr);
            return 1;
        case Quit::stillRunning:
            std::fputs("tesuko: tesuko was asked to quit but is still running after 10 s\n",
                       stderr);
            return 1;
        case Quit::failed:
            break;
    }
    std::fprintf(stderr, "tesuko: cannot ask tesuko to quit: %s\n", outcome.error.c_str());
    return 1;
}

}  // namespace tesuko
