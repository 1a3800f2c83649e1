// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <chrono>
#include <csignal>
#include <deque>
#include <string>
#include <vector>

#include "tests/integration/temp_dir.h"
#include "tests/support/programs.h"

namespace tesuko {

// A headless sway for one test, with windows of tesuko_test_wayland_client.
// sway refuses to run as root: under root it and its windows run as nobody,
// in a runtime folder of their own. Ends only what it started.
class HeadlessSway {
  public:
    HeadlessSway();
    ~HeadlessSway();

    // For WAYLAND_DISPLAY: the socket's full path.
    const std::string& socket() const { return socket_; }
    // Returns once the window is mapped.
    QProcess& openWindow(const std::string& appId, const std::string& title);
    // Returns once sway shows the new title.
    void retitle(QProcess& window, const std::string& title);
    void close(QProcess& window);
    // When sway carried it out, as near as can be told: halfway through.
    std::chrono::steady_clock::time_point swaymsg(const std::string& command);
    void stop(int signal = SIGTERM);

  private:
    std::vector<std::string> asUser(std::vector<std::string> argv) const;
    std::string tree() const;

    TempDir work_;
    std::string runtime_;
    std::string socket_;
    QProcess sway_;
    std::deque<QProcess> windows_;
};

}  // namespace tesuko
