// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/x11_session.h"

#include <poll.h>

#include <memory>
#include <utility>

#include "platform/desktop/desktop_backends.h"
#include "platform/nested_call_guard.h"
#include "platform/x11/qt_display.h"
#include "platform/x11/xcb_reply.h"

namespace tesuko {

OpenedDesktopSession openX11Session(SystemLog& systemLog, FileSystem& /*files*/) {
    return X11Session::open(DisplayTarget::fromEnvironment(), systemLog);
}

OpenedDesktopSession X11Session::open(const DisplayTarget& target, SystemLog& systemLog,
                                      pid_t ownPid) {
    XcbConnection::Opened opened = XcbConnection::connect(target);
    if (!opened.connection) {
        return {nullptr, opened.error};
    }
    return {std::make_unique<X11Session>(std::move(*opened.connection), systemLog, ownPid), ""};
}

X11Session::X11Session(XcbConnection connection, SystemLog& systemLog, pid_t ownPid)
    : connection_(std::move(connection)),
      atoms_(X11Atoms::intern(connection_.get())),
      rootEventsSelected_(selectRootEvents(connection_)),
      workspace_(connection_, atoms_),
      windowList_(connection_, atoms_, workspace_),
      ownInput_(connection_, atoms_, workspace_, ownPid),
      inputMonitors_(connection_, ownInput_, systemLog),
      idleWatch_(connection_.get(), connection_.root()),
      handlers_(eventTable()) {
    readServerClock();
}

std::array<X11Session::EventHandler, 128> X11Session::eventTable() {
    std::array<EventHandler, 128> table{};
    table[XCB_PROPERTY_NOTIFY] = &X11Session::onPropertyNotify;
    table[XCB_MAP_NOTIFY] = &X11Session::onMapNotify;
    table[XCB_UNMAP_NOTIFY] = &X11Session::onUnmapNotify;
    table[XCB_DESTROY_NOTIFY] = &X11Session::onDestroyNotify;
    table[XCB_MAPPING_NOTIFY] = &X11Session::onMappingNotify;
    table[XCB_GE_GENERIC] = &X11Session::onGenericEvent;
    return table;
}

// Property changes for the active window; the root's children mapped and
// unmapped, to know when a popup of ours is open.
bool X11Session::selectRootEvents(const XcbConnection& connection) {
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection.get(), connection.root(), XCB_CW_EVENT_MASK, &mask);
    connection.flush();
    return true;
}

// A first reading of the server's clock while nothing keeps us waiting, so
// that even the first switch is timed right when it is read late: a
// zero-length append to a property of a window of our own gets the server's
// stamp (as ICCCM suggests), and the round trip brings its PropertyNotify.
void X11Session::readServerClock() {
    xcb_connection_t* c = connection_.get();
    xcb_window_t window = xcb_generate_id(c);
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, 0, window, connection_.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_change_property(c, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_destroy_window(c, window);
    connection_.sync();
    handleEvents();
}

void X11Session::processEvents() {
    if (connectionLost_) {
        return;
    }
    handleEvents();
    if (!processing_) {  // not from within a handler
        noticeBrokenConnection();
    }
}

void X11Session::handleEvents() {
    drain(xcb_poll_for_event);
    // A handler that runs a nested main loop calls in again: the call above
    // read the socket, so the loop does not spin, and the outer call settles
    // what it read once the handler returns.
    if (processing_) {
        return;
    }
    const NestedCallGuard guard{processing_};
    while (std::exchange(unsettled_, false)) {
        settle();
        drain(xcb_poll_for_queued_event);
    }
}

void X11Session::drain(xcb_generic_event_t* (*source)(xcb_connection_t*)) {
    while (XcbEvent event{source(connection_.get())}) {
        // The top bit only says that the event was sent by a client.
        EventHandler handler = handlers_[event->response_type & 0x7f];
        if (handler != nullptr) {
            (this->*handler)(*event);
        }
        unsettled_ = true;
    }
}

// Input first: presses read together with a switch were mostly made before it.
void X11Session::settle() {
    ownInput_.settle();
    inputMonitors_.deliverPending();
    if (workspace_.stale() && !connection_.broken()) {
        workspace_.refresh([this] { waitForBurst(); });
    }
}

// The events that follow a cleared _NET_ACTIVE_WINDOW within a moment, if any:
// a bounded wait on the socket, only while nothing names the next window.
void X11Session::waitForBurst() {
    connection_.sync();  // whatever the window manager sent before now is queued
    drain(xcb_poll_for_queued_event);
    auto deadline = std::chrono::steady_clock::now() + kBurstWait;
    while (!workspace_.stale() && !connection_.broken()) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now());
        pollfd watched{connection_.fd(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0) {
            return;
        }
        drain(xcb_poll_for_event);
    }
}

bool X11Session::connectionLost() const {
    return connectionLost_ || qtDisplayConnectionBroken();
}

void X11Session::noticeBrokenConnection() {
    if (!connection_.broken() || connectionLost_) {
        return;
    }
    connectionLost_ = true;
    if (lostHandler_) {
        lostHandler_();
    }
}

// Every stamp read promptly sharpens the server clock's offset, whatever the
// property.
void X11Session::onPropertyNotify(const xcb_generic_event_t& event) {
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    auto at = serverClock_.happenedAt(notify.time, std::chrono::steady_clock::now());
    if (notify.window == connection_.root() && notify.atom == atoms_.netActiveWindow) {
        workspace_.noteActiveWindowChanged(at);
    }
}

void X11Session::onMapNotify(const xcb_generic_event_t& event) {
    ownInput_.onMapNotify(reinterpret_cast<const xcb_map_notify_event_t&>(event));
}

void X11Session::onUnmapNotify(const xcb_generic_event_t& event) {
    ownInput_.onWindowGone(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
}

void X11Session::onDestroyNotify(const xcb_generic_event_t& event) {
    ownInput_.onWindowGone(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
}

void X11Session::onMappingNotify(const xcb_generic_event_t&) {
    inputMonitors_.onMappingNotify();
}

void X11Session::onGenericEvent(const xcb_generic_event_t& event) {
    inputMonitors_.onGenericEvent(reinterpret_cast<const xcb_ge_generic_event_t&>(event));
}

}  // namespace tesuko
