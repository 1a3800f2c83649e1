// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/xcb_connection.h"
#include "support/programs.h"
#include "support/temp_dir.h"

namespace tesuko {

// A window for the test to make: what it is made with.
struct NewWindow {
    std::optional<std::string> wmClass = std::nullopt;  // the class; the instance is "app"
    std::optional<std::string> wmName = std::nullopt;
    std::string wmNameType = "STRING";                     // or "UTF8_STRING", "COMPOUND_TEXT"
    std::optional<std::string> netWmName = std::nullopt;   // UTF-8
    std::optional<std::uint32_t> pid = std::nullopt;       // _NET_WM_PID
    std::optional<std::string> windowType = std::nullopt;  // "_NET_WM_WINDOW_TYPE_DOCK", ...
    bool overrideRedirect = false;
    bool map = true;
};

// A private X server (Xvfb on a display it picks itself) with openbox
// managing it, for one test, and on request an XEmbed tray (trayer, or
// stalonetray where the release has no trayer) at the top right. Only what
// it started is ended, when it goes. Throws when one of the programs is
// missing or does not come up.
//
// The test plays the other applications (and the window manager's part)
// through a connection of its own: every change has reached the server when
// a call returns, except setActiveWindows'.
class XvfbDesktop {
  public:
    enum class WindowManager { Openbox, None };

    explicit XvfbDesktop(WindowManager manager = WindowManager::Openbox);
    ~XvfbDesktop();

    const std::string& display() const { return display_; }
    // The environment for programs that should show up on this display.
    EnvChanges env() const { return {{"DISPLAY", display_}, {"WAYLAND_DISPLAY", std::nullopt}}; }
    Finished xdotool(std::vector<std::string> arguments) const;
    // Starts the tray; icons show once it owns the tray selection.
    void startTray();
    // Ends the X server under everything connected to it.
    void killServer();

    xcb_connection_t* connection() const { return connection_->get(); }
    xcb_window_t root() const { return connection_->root(); }
    xcb_atom_t atom(const std::string& name) const;
    xcb_window_t createWindow(const NewWindow& wanted);
    // A window the window manager took on, as an application's would be.
    xcb_window_t createManaged(const NewWindow& wanted);
    // Brings the window to the front through the window manager.
    void activate(xcb_window_t window) const;
    // Replaces a property of the window with 32-bit values (windows, atoms).
    void setList(xcb_window_t window, const std::string& property, xcb_atom_t type,
                 const std::vector<std::uint32_t>& values);
    void destroy(xcb_window_t window);
    // Sets _NET_ACTIVE_WINDOW on the root to each value in turn, all in one go.
    void setActiveWindows(const std::vector<xcb_window_t>& windows);
    void sync() const { connection_->sync(); }
    std::vector<xcb_window_t> rootList(const std::string& property) const;

  private:
    void startServer();
    void launch(const std::vector<std::string>& argv, const std::string& log);
    void awaitWindowManager();
    bool isManaged(xcb_window_t window) const;

    TempDir work_;  // program logs; openbox finds no user configuration there
    QProcess server_;
    std::string display_;
    std::optional<XcbConnection> connection_;
    std::deque<QProcess> programs_;  // ended before the server, so none sees it vanish
};

}  // namespace tesuko
