// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <chrono>
#include <csignal>
#include <deque>
#include <string>
#include <vector>

#include "support/programs.h"
#include "support/temp_dir.h"

namespace tesuko {

// The wlroots compositors the tests run: sway (every release) and labwc
// (Debian 13 on). The product speaks only the protocols they share.
enum class Wlroots { sway, labwc };

std::string nameOf(Wlroots compositor);

// A headless wlroots compositor for one test, with windows of
// tesuko_test_wayland_client. sway refuses to run as root: under root the
// compositor and its windows run as nobody, in a runtime folder of their
// own. The test drives it the way its users' tools do: swaymsg for sway,
// wlrctl (the foreign-toplevel and virtual-pointer protocols) for labwc.
// Ends only what it started.
class HeadlessWlroots {
  public:
    explicit HeadlessWlroots(Wlroots compositor);
    ~HeadlessWlroots();

    // Whether this machine has the compositor and what drives it.
    static bool installed(Wlroots compositor);

    // For WAYLAND_DISPLAY: the socket's full path.
    const std::string& socket() const { return socket_; }
    // Returns once the window is mapped.
    QProcess& openWindow(const std::string& appId, const std::string& title);
    // Returns once the compositor shows the new title.
    void retitle(QProcess& window, const std::string& title);
    void close(QProcess& window);
    // Focuses the window of that title; when the compositor carried it out,
    // as near as can be told: halfway through the request.
    std::chrono::steady_clock::time_point focus(const std::string& title);
    // Leaves no window in front (sway: an empty workspace; labwc: every
    // window minimized), until a window is focused again.
    void showNoWindow();
    // User input, as far as idle time can tell: the pointer moves.
    void nudge();
    void stop(int signal = SIGTERM);

  private:
    std::vector<std::string> asUser(std::vector<std::string> argv) const;
    Finished control(const std::vector<std::string>& arguments) const;
    // The arguments for the compositor at hand: swaymsg's, or wlrctl's.
    Finished control(const std::vector<std::string>& sway,
                     const std::vector<std::string>& wlrctl) const;
    bool shows(const std::string& title) const;
    std::vector<std::string> startCommand();

    Wlroots compositor_;
    TempDir work_;
    std::string runtime_;
    std::string socket_;
    QProcess process_;
    std::deque<QProcess> windows_;
};

}  // namespace tesuko
