#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "tests/integration/temp_dir.h"
#include "tests/support/child_process.h"

namespace tesuko {

// A private X server (Xvfb on a display it picks itself) with openbox
// managing it, for one test, and on request an XEmbed tray (trayer) at the
// top right. Only what it started is ended, when it goes.
class XvfbDesktop {
  public:
    enum class WindowManager { Openbox, None };

    // Why these tests cannot run here, or none when they can.
    static std::optional<std::string> unavailableReason();

    explicit XvfbDesktop(WindowManager manager = WindowManager::Openbox);
    ~XvfbDesktop();
    XvfbDesktop(const XvfbDesktop&) = delete;
    XvfbDesktop& operator=(const XvfbDesktop&) = delete;

    const std::string& display() const { return display_; }
    // The environment for programs that should show up on this display.
    EnvChanges env() const { return {{"DISPLAY", display_}, {"WAYLAND_DISPLAY", std::nullopt}}; }

    // Starts a program on the display; it is ended with the desktop.
    ChildProcess& launch(const std::vector<std::string>& argv);
    // Runs a short program (xdotool) on the display.
    Finished run(const std::vector<std::string>& argv) const { return tesuko::run(argv, env()); }
    // Starts the tray and waits until it owns the tray selection.
    void startTray();
    // Ends the X server under everything connected to it.
    void killServer();

  private:
    void startServer();
    void startWindowManager();
    std::string logOf(const std::string& program) const { return readFile(work_ / program); }

    TempDir work_;  // program logs; openbox finds no user configuration there
    ChildProcess server_;
    std::deque<ChildProcess> programs_;  // launch hands out references
    std::string display_;
};

}  // namespace tesuko
