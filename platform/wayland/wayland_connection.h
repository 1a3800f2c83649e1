// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/wayland/wayland_proxy.h"

namespace tesuko {

// A connection of our own to the Wayland compositor, with the globals it
// offers. Any Wayland backend can share it: the wlroots session reads the
// window list over it, and the idle watch binds its protocols from it.
//
// Nothing blocks except a bounded wait asked for. Each read is stamped on
// the steady clock, so that handlers can tell when what they dispatch came.
// Once the compositor hangs up or reports an error, the connection counts as
// broken for good.
class WaylandConnection {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Opened;

    // Connects to the display WAYLAND_DISPLAY names and learns its globals.
    static Opened connect();

    explicit WaylandConnection(WaylandProxy<wl_display> display);
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return display_.get(); }
    int fd() const { return wl_display_get_fd(display_.get()); }
    bool broken() const;

    // The offered global of that interface bound at the highest version both
    // sides know, up to `version`; null when the compositor offers none.
    template <typename T>
    T* bind(const wl_interface& interface, std::uint32_t version) const {
        return static_cast<T*>(bindGlobal(interface, version));
    }

    // Sends what is queued and waits until the compositor has handled it and
    // every event it sent in answer was dispatched. False once broken.
    bool roundtrip();
    // Dispatches whatever has arrived, without waiting, and sends what is
    // queued. Reads until the socket is empty, so a hangup is noticed here.
    void dispatchAvailable();
    // Waits up to `bound` for events and dispatches them; false when none came.
    bool dispatchWithin(std::chrono::milliseconds bound);
    void flush();

    // When the events being dispatched were read from the socket.
    TimePoint lastReadAt() const { return lastReadAt_; }

  private:
    struct Global {
        std::uint32_t name;
        std::string interface;
        std::uint32_t version;
    };

    static const wl_registry_listener kRegistryListener;

    void* bindGlobal(const wl_interface& interface, std::uint32_t version) const;
    // One read of the socket, waiting up to the timeout; whether it read.
    bool readOnce(int timeoutMs);

    WaylandProxy<wl_display> display_;
    WaylandProxy<wl_registry> registry_;
    std::vector<Global> globals_;
    TimePoint lastReadAt_ = std::chrono::steady_clock::now();
    bool hungUp_ = false;
};

struct WaylandConnection::Opened {
    std::unique_ptr<WaylandConnection> connection;  // null when none could be made
    std::string error;                              // why, in words for the user
};

}  // namespace tesuko
