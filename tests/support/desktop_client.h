#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/x11_atoms.h"
#include "platform/x11/xcb_connection.h"

namespace tesuko {

using namespace std::chrono_literals;

// A text property as a client sets it: its type's name and its bytes.
struct TextProperty {
    std::string type;  // "STRING", "UTF8_STRING", "COMPOUND_TEXT"
    std::string bytes;
};

struct WindowSpec {
    std::optional<std::string> instance = std::nullopt;  // WM_CLASS, when a class is given
    std::optional<std::string> wmClass = std::nullopt;
    std::optional<TextProperty> wmName = std::nullopt;
    std::optional<std::string> netWmName = std::nullopt;   // UTF-8
    std::optional<std::uint32_t> pid = std::nullopt;       // _NET_WM_PID
    std::optional<std::string> windowType = std::nullopt;  // "_NET_WM_WINDOW_TYPE_DOCK", ...
    bool overrideRedirect = false;
    bool map = true;
    std::int16_t x = 10;
    std::int16_t y = 10;
};

// The test's own connection to the desktop: it plays other applications and
// the window manager's part, and waits for the desktop's state with a bound.
class DesktopClient {
  public:
    explicit DesktopClient(const std::string& display);

    xcb_connection_t* connection() const { return connection_->get(); }
    xcb_window_t root() const { return connection_->root(); }
    xcb_atom_t atom(const std::string& name) const;

    xcb_window_t createWindow(const WindowSpec& spec);
    void setText(xcb_window_t window, const std::string& property, const TextProperty& value);
    void map(xcb_window_t window);
    void unmap(xcb_window_t window);
    void destroy(xcb_window_t window);
    // Sets _NET_ACTIVE_WINDOW on the root to each value in turn, all in one go.
    void setActiveWindows(const std::vector<xcb_window_t>& windows);
    void sync() const { connection_->sync(); }

    bool hasRootProperty(const std::string& name) const;
    bool hasSelectionOwner(const std::string& selection) const;
    std::optional<xcb_window_t> activeWindow() const;
    std::vector<xcb_window_t> clientList() const;
    // The managed window of that WM_CLASS class, once there is one.
    std::optional<xcb_window_t> waitForClient(const std::string& wmClass,
                                              std::chrono::milliseconds bound = 10s);
    // Waits for the condition, re-checking after every event on the root.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = 10s);

  private:
    std::optional<XcbConnection> connection_;
};

}  // namespace tesuko
