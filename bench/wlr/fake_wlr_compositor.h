// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace tesuko {

// A stand-in for a wlroots compositor, with toplevel windows and nothing
// else: zwlr_foreign_toplevel_manager_v1 (version 3) on a socket in a
// private runtime folder, served by a child process of its own. Window i is
// "App<i>", titled "App<i> — a document title"; the compositor sends what a
// wlroots one sends when windows open and the focus moves. Ends only its
// own child.
class FakeWlrCompositor {
  public:
    FakeWlrCompositor();
    ~FakeWlrCompositor();
    FakeWlrCompositor(const FakeWlrCompositor&) = delete;
    FakeWlrCompositor& operator=(const FakeWlrCompositor&) = delete;

    // For WAYLAND_DISPLAY: the socket's full path.
    const std::string& socket() const { return socket_; }
    // Opens that many more windows, none of them activated.
    void open(int count);
    // Activates window `index` and deactivates the one that was.
    void activate(int index);

  private:
    void end();
    void tell(std::uint32_t command, std::uint32_t value);

    std::string runtime_;
    std::string socket_;
    int control_ = -1;
    pid_t child_ = -1;
};

}  // namespace tesuko
