#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_process.h"

namespace tesuko::e2e {

struct Geometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A private X session for one test: Xvfb on a display it picks itself, openbox,
// and on request an XEmbed tray (trayer) at the top right. Only what it started
// is ended, when it goes.
class Desktop {
  public:
    // Why no session can be had here, or none.
    static std::optional<std::string> unavailableReason();

    explicit Desktop(const std::string& workFolder);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    const std::string& display() const { return display_; }
    EnvChanges env() const { return {{"DISPLAY", display_}, {"WAYLAND_DISPLAY", std::nullopt}}; }

    // Starts the tray and waits until its panel is on screen.
    void startTray();
    // Ends the X server, as the end of a session does.
    void endServer();

    Finished xdotool(const std::vector<std::string>& args) const;
    // Mapped windows whose WM_CLASS class is exactly `windowClass`.
    std::vector<std::string> visibleWindows(const std::string& windowClass) const;
    std::optional<Geometry> geometry(const std::string& window) const;
    void clickAt(int x, int y) const;
    bool screenshot(const std::string& path) const;

  private:
    void startServer();
    void waitForWindowManager();
    bool trayOwned() const;

    std::string workFolder_;
    std::string display_;
    std::optional<Process> server_;
    std::optional<Process> windowManager_;
    std::optional<Process> tray_;
};

}  // namespace tesuko::e2e
