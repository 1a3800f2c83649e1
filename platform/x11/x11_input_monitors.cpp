// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/x11_input_monitors.h"

#include <xcb/xinput.h>

#include <algorithm>
#include <utility>

#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

constexpr std::uint32_t kLeftButton = 1;
constexpr std::uint32_t kRightButton = 3;
constexpr std::uint64_t kClickMasks = kLeftMouseDownMask | kRightMouseDownMask;

// Raw events need XInput 2.0; from 2.1 on they reach every client during grabs too.
constexpr std::uint16_t kXInputMajor = 2;
constexpr std::uint16_t kXInputMinor = 2;

struct RawEventSelection {
    xcb_input_event_mask_t head;
    std::uint32_t mask;
};

}  // namespace

X11InputMonitors::X11InputMonitors(const XcbConnection& connection, OwnInputFilter& ownInput,
                                   SystemLog& systemLog)
    : connection_(connection), ownInput_(ownInput) {
    queryExtension(systemLog);
    readModifierKeys();
}

void X11InputMonitors::queryExtension(SystemLog& systemLog) {
    xcb_connection_t* c = connection_.get();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_input_id);
    if (extension == nullptr || !extension->present) {
        systemLog.warning(
            "The X server has no XInput extension: clicks and key presses are not counted.");
        return;
    }
    auto version = takeReply(xcb_input_xi_query_version_reply, c,
                             xcb_input_xi_query_version(c, kXInputMajor, kXInputMinor));
    if (!version || version->major_version < 2) {
        systemLog.warning("The X server lacks XInput 2: clicks and key presses are not counted.");
        return;
    }
    xinputOpcode_ = extension->major_opcode;
}

void X11InputMonitors::readModifierKeys() {
    xcb_connection_t* c = connection_.get();
    auto reply = takeReply(xcb_get_modifier_mapping_reply, c, xcb_get_modifier_mapping(c));
    modifierKeys_.reset();
    if (!reply) {
        return;
    }
    const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(reply.get());
    int count = xcb_get_modifier_mapping_keycodes_length(reply.get());
    for (int i = 0; i < count; ++i) {
        if (keys[i] != 0) {
            modifierKeys_.set(keys[i]);
        }
    }
}

MonitorHandle X11InputMonitors::install(std::uint64_t eventMask, Handler handler) {
    MonitorHandle handle = nextHandle_++;
    monitors_.push_back(Monitor{handle, eventMask, std::move(handler)});
    updateSelection();
    return handle;
}

void X11InputMonitors::remove(MonitorHandle handle) {
    auto found = std::find_if(monitors_.begin(), monitors_.end(),
                              [&](const Monitor& monitor) { return monitor.handle == handle; });
    if (found == monitors_.end()) {
        return;
    }
    if (delivering_) {
        found->mask = 0;  // its handler may be the one running; dropped after delivery
    } else {
        monitors_.erase(found);
    }
    updateSelection();
}

void X11InputMonitors::updateSelection() {
    std::uint64_t wanted = 0;
    for (const Monitor& monitor : monitors_) {
        wanted |= monitor.mask;
    }
    std::uint32_t events = 0;
    if (wanted & kClickMasks) {
        events |= XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS;
    }
    if (wanted & kKeyDownMask) {
        events |= XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS;
    }
    if (!xinputOpcode_ || events == selectedEvents_) {
        return;
    }
    RawEventSelection selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, events};
    xcb_input_xi_select_events(connection_.get(), connection_.root(), 1, &selection.head);
    connection_.flush();
    selectedEvents_ = events;
}

void X11InputMonitors::onGenericEvent(const xcb_ge_generic_event_t& event) {
    if (!xinputOpcode_ || event.extension != *xinputOpcode_) {
        return;
    }
    // Raw button and key events share one layout.
    const auto& raw = reinterpret_cast<const xcb_input_raw_button_press_event_t&>(event);
    if (event.event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
        pendingLeft_ += raw.detail == kLeftButton;
        pendingRight_ += raw.detail == kRightButton;
    } else if (event.event_type == XCB_INPUT_RAW_KEY_PRESS) {
        bool repeat = raw.flags & XCB_INPUT_KEY_EVENT_FLAGS_KEY_REPEAT;
        bool modifier = raw.detail < modifierKeys_.size() && modifierKeys_.test(raw.detail);
        pendingKeys_ += !repeat && !modifier;
    }
}

void X11InputMonitors::onMappingNotify() {
    readModifierKeys();
}

void X11InputMonitors::deliverPending() {
    int left = std::exchange(pendingLeft_, 0);
    int right = std::exchange(pendingRight_, 0);
    int keys = std::exchange(pendingKeys_, 0);
    if (left + right + keys == 0 || ownInput_.popupOpen()) {
        return;
    }
    if (left + right > 0 && ownInput_.pointerIsOwn()) {
        left = right = 0;
    }
    if (keys > 0 && ownInput_.keyboardIsOwn()) {
        keys = 0;
    }
    delivering_ = true;
    deliver(kLeftMouseDownMask, left);
    deliver(kRightMouseDownMask, right);
    deliver(kKeyDownMask, keys);
    delivering_ = false;
    std::erase_if(monitors_, [](const Monitor& monitor) { return monitor.mask == 0; });
}

void X11InputMonitors::deliver(std::uint64_t kind, int count) {
    for (int i = 0; i < count; ++i) {
        for (std::size_t m = 0; m < monitors_.size(); ++m) {
            if (monitors_[m].mask & kind) {
                monitors_[m].handler();
            }
        }
    }
}

}  // namespace tesuko
