// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_proxy.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tesuko {

// What the compositor said about a toplevel window, as of its last `done`.
struct ToplevelState {
    std::optional<std::string> appId;  // none until it names one
    std::optional<std::string> title;
    bool activated = false;
    bool minimized = false;
};

// The application a window belongs to: its app_id, none while it has none.
std::optional<std::string> applicationOf(const ToplevelState& state);

class ForeignToplevels;

// One toplevel window over its zwlr_foreign_toplevel_handle_v1. Title, app_id
// and state arrive one by one and count from the `done` that follows them.
class ForeignToplevel {
  public:
    ForeignToplevel(zwlr_foreign_toplevel_handle_v1* handle, ForeignToplevels& list);
    ForeignToplevel(const ForeignToplevel&) = delete;
    ForeignToplevel& operator=(const ForeignToplevel&) = delete;

    const ToplevelState& state() const { return state_; }
    bool closed() const { return closed_; }
    // Grows each time the window comes to the front: the stacking order as
    // far as the protocol tells it.
    std::uint64_t raised() const { return raised_; }

  private:
    friend class ForeignToplevels;

    static const zwlr_foreign_toplevel_handle_v1_listener kListener;

    void takeStates(const wl_array& states);
    void commit();

    WaylandProxy<zwlr_foreign_toplevel_handle_v1> handle_;
    ForeignToplevels& list_;
    ToplevelState pending_;
    ToplevelState state_;
    std::uint64_t raised_;
    bool closed_ = false;
};

// Every toplevel window of the desktop, from zwlr_foreign_toplevel_manager_v1
// (any version; 3 is the newest known), and which one is in front: the
// activated window, or of several the one activated last.
//
// A closed window is left out at once but forgotten only when the owner says
// so: a compositor that shuts down closes every window before it hangs up,
// and those windows are still the ones the user last saw.
class ForeignToplevels {
  public:
    using TimePoint = WaylandConnection::TimePoint;

    static constexpr std::uint32_t kVersion = 3;

    // Takes the bound manager; the connection tells when events were read.
    ForeignToplevels(zwlr_foreign_toplevel_manager_v1* manager,
                     const WaylandConnection& connection);
    ForeignToplevels(const ForeignToplevels&) = delete;
    ForeignToplevels& operator=(const ForeignToplevels&) = delete;

    const ForeignToplevel* front() const;
    // The windows not minimized, and the front one even so, front-most first.
    std::vector<const ForeignToplevel*> onScreen() const;
    // The first of those that `wanted` takes; null when it takes none.
    const ForeignToplevel* frontMost(
        const std::function<bool(const ForeignToplevel&)>& wanted) const;

    // When the window in front, or its app_id, first changed since the last
    // call (as read); none when it has not.
    std::optional<TimePoint> takeFrontChange() { return std::exchange(frontChangedAt_, {}); }

    void forgetClosed();
    // Takes the closed windows back, as they were before they closed.
    void reopenClosed();

  private:
    friend class ForeignToplevel;

    static const zwlr_foreign_toplevel_manager_v1_listener kListener;

    std::uint64_t nextRaise() { return ++raises_; }
    // The windows onScreen() lists, in no order.
    std::vector<const ForeignToplevel*> shown() const;
    void committed(const ToplevelState& before, const ToplevelState& after);
    void closed(const ForeignToplevel& toplevel);
    void noteFrontChange();

    WaylandProxy<zwlr_foreign_toplevel_manager_v1> manager_;
    const WaylandConnection& connection_;
    std::vector<std::unique_ptr<ForeignToplevel>> toplevels_;
    std::optional<TimePoint> frontChangedAt_;
    std::uint64_t raises_ = 0;
};

}  // namespace tesuko
