// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/input_monitors.h"
#include "platform/system_log.h"
#include "platform/x11/own_input_filter.h"
#include "platform/x11/xcb_connection.h"

namespace tesuko {

// Global monitors over XInput 2 raw events, selected on the root for the
// master devices only (a press reaches us once, not once more per slave):
//
// - left mouse down (kLeftMouseDownMask): a raw press of button 1;
// - right mouse down (kRightMouseDownMask): a raw press of button 3;
// - key down (kKeyDownMask): a raw key press of a key that is not a
//   modifier. Shift, Control, Alt, Super, Caps Lock and the like count
//   nothing on their own, so "A" typed with Shift counts once.
//
// Raw events report physical buttons, before any left-handed remapping. The
// middle button, the scroll buttons 4-7, releases and motion count nothing.
// A held key counts once: the server's auto-repeat produces no raw events
// (and a press flagged as a repeat is ignored).
//
// Input that goes to this process's own windows is not counted (see
// OwnInputFilter). Presses are counted once every queued event has been
// read, in the order left, right, keys, before a switch read in the same
// pass. While no monitor is installed, no raw events are selected at all.
class X11InputMonitors : public InputMonitors {
  public:
    X11InputMonitors(const XcbConnection& connection, OwnInputFilter& ownInput,
                     SystemLog& systemLog);

    MonitorHandle install(std::uint64_t eventMask, Handler handler) override;
    void remove(MonitorHandle handle) override;

    bool available() const override { return xinputOpcode_.has_value(); }

    // The session's side. Allocation-free: raw events are only tallied here.
    void onGenericEvent(const xcb_ge_generic_event_t& event);
    void onMappingNotify();
    // Hands the tallied presses that were not ours to the monitors.
    void deliverPending();

  private:
    struct Monitor {
        MonitorHandle handle;
        std::uint64_t mask;
        Handler handler;
    };

    void queryExtension(SystemLog& systemLog);
    void readModifierKeys();
    void updateSelection();
    void deliver(std::uint64_t kind, int count);

    const XcbConnection& connection_;
    OwnInputFilter& ownInput_;
    std::optional<std::uint8_t> xinputOpcode_;
    std::bitset<256> modifierKeys_;
    std::vector<Monitor> monitors_;
    MonitorHandle nextHandle_ = 1;
    std::uint32_t selectedEvents_ = 0;
    bool delivering_ = false;
    int pendingLeft_ = 0;
    int pendingRight_ = 0;
    int pendingKeys_ = 0;
};

}  // namespace tesuko
