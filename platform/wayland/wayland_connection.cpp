// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wayland/wayland_connection.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tesuko {

namespace {

// A compositor that never stops talking must not keep the main loop from
// everything else: the socket stays readable and the loop comes back.
constexpr int kMostReadsAtOnce = 16;

}  // namespace

const wl_registry_listener WaylandConnection::kRegistryListener{
    [](void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version) {
        static_cast<WaylandConnection*>(data)->globals_.push_back({name, interface, version});
    },
    [](void* data, wl_registry*, std::uint32_t name) {
        std::erase_if(static_cast<WaylandConnection*>(data)->globals_,
                      [name](const Global& global) { return global.name == name; });
    }};

WaylandConnection::Opened WaylandConnection::connect() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (name == nullptr || *name == '\0') {
        return {nullptr, "WAYLAND_DISPLAY is not set"};
    }
    WaylandProxy<wl_display> display{wl_display_connect(nullptr), wl_display_disconnect};
    if (!display) {
        return {nullptr, "cannot connect to the Wayland display " + std::string(name) + ": " +
                             std::strerror(errno)};
    }
    auto connection = std::make_unique<WaylandConnection>(std::move(display));
    if (!connection->roundtrip()) {
        return {nullptr, "the Wayland display " + std::string(name) + " broke off the connection"};
    }
    return {std::move(connection), ""};
}

WaylandConnection::WaylandConnection(WaylandProxy<wl_display> display)
    : display_(std::move(display)),
      registry_(wl_display_get_registry(display_.get()), wl_registry_destroy) {
    wl_registry_add_listener(registry_.get(), &kRegistryListener, this);
}

bool WaylandConnection::broken() const {
    return hungUp_ || wl_display_get_error(display_.get()) != 0;
}

void* WaylandConnection::bindGlobal(const wl_interface& interface, std::uint32_t version) const {
    for (const Global& global : globals_) {
        if (global.interface == interface.name) {
            std::uint32_t known = std::min(static_cast<std::uint32_t>(interface.version), version);
            return wl_registry_bind(registry_.get(), global.name, &interface,
                                    std::min(known, global.version));
        }
    }
    return nullptr;
}

bool WaylandConnection::roundtrip() {
    if (broken()) {
        return false;
    }
    lastReadAt_ = std::chrono::steady_clock::now();
    return wl_display_roundtrip(display_.get()) >= 0;
}

void WaylandConnection::dispatchAvailable() {
    for (int reads = 0; reads < kMostReadsAtOnce && readOnce(0); ++reads) {
    }
    flush();
}

bool WaylandConnection::dispatchWithin(std::chrono::milliseconds bound) {
    const bool read = readOnce(static_cast<int>(std::max<std::int64_t>(bound.count(), 0)));
    flush();
    return read;
}

void WaylandConnection::flush() {
    if (!broken() && wl_display_flush(display_.get()) < 0 && errno != EAGAIN) {
        hungUp_ = true;
    }
}

// libwayland's way to read while others may read the same display: whatever
// is queued is dispatched first, and a read is only ever made between
// prepare_read and read_events (or cancelled).
bool WaylandConnection::readOnce(int timeoutMs) {
    wl_display* display = display_.get();
    if (broken()) {
        return false;
    }
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            return false;
        }
    }
    flush();
    pollfd watched{fd(), POLLIN, 0};
    int ready = ::poll(&watched, 1, timeoutMs);
    while (ready < 0 && errno == EINTR) {
        ready = ::poll(&watched, 1, 0);
    }
    if (ready <= 0) {
        wl_display_cancel_read(display);
        return false;
    }
    lastReadAt_ = std::chrono::steady_clock::now();
    // A hangup reads as the end of the stream: the display keeps the error.
    if (wl_display_read_events(display) < 0) {
        return false;
    }
    return wl_display_dispatch_pending(display) >= 0;
}

}  // namespace tesuko
