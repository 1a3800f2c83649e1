#include "tests/support/desktop_client.h"

#include <poll.h>

#include <algorithm>
#include <stdexcept>

#include "platform/x11/window_facts.h"
#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

void changeProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                    std::uint8_t format, std::uint32_t count, const void* data) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, format, count, data);
}

}  // namespace

DesktopClient::DesktopClient(const std::string& display) {
    XcbConnection::Opened opened = XcbConnection::connect(DisplayTarget{display, std::nullopt});
    if (!opened.connection) {
        throw std::runtime_error(opened.error);
    }
    connection_ = std::move(opened.connection);
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection(), root(), XCB_CW_EVENT_MASK, &mask);
    sync();
}

xcb_atom_t DesktopClient::atom(const std::string& name) const {
    auto reply = takeReply(
        xcb_intern_atom_reply, connection(),
        xcb_intern_atom(connection(), 0, static_cast<std::uint16_t>(name.size()), name.c_str()));
    return reply ? reply->atom : XCB_NONE;
}

xcb_window_t DesktopClient::createWindow(const WindowSpec& spec) {
    xcb_connection_t* c = connection();
    xcb_window_t window = xcb_generate_id(c);
    std::uint32_t values[] = {spec.overrideRedirect ? 1u : 0u};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root(), spec.x, spec.y, 200, 120, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT,
                      values);
    if (spec.wmClass) {
        std::string both = spec.instance.value_or("") + '\0' + *spec.wmClass + '\0';
        changeProperty(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                       static_cast<std::uint32_t>(both.size()), both.data());
    }
    if (spec.wmName) {
        setText(window, "WM_NAME", *spec.wmName);
    }
    if (spec.netWmName) {
        setText(window, "_NET_WM_NAME", TextProperty{"UTF8_STRING", *spec.netWmName});
    }
    if (spec.pid) {
        changeProperty(c, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &*spec.pid);
    }
    if (spec.windowType) {
        xcb_atom_t type = atom(*spec.windowType);
        changeProperty(c, window, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &type);
    }
    if (spec.map) {
        xcb_map_window(c, window);
    }
    sync();
    return window;
}

void DesktopClient::setText(xcb_window_t window, const std::string& property,
                            const TextProperty& value) {
    changeProperty(connection(), window, atom(property), atom(value.type), 8,
                   static_cast<std::uint32_t>(value.bytes.size()), value.bytes.data());
    sync();
}

void DesktopClient::map(xcb_window_t window) {
    xcb_map_window(connection(), window);
    sync();
}

void DesktopClient::unmap(xcb_window_t window) {
    xcb_unmap_window(connection(), window);
    sync();
}

void DesktopClient::destroy(xcb_window_t window) {
    xcb_destroy_window(connection(), window);
    sync();
}

void DesktopClient::setActiveWindows(const std::vector<xcb_window_t>& windows) {
    xcb_atom_t active = atom("_NET_ACTIVE_WINDOW");
    for (xcb_window_t window : windows) {
        changeProperty(connection(), root(), active, XCB_ATOM_WINDOW, 32, 1, &window);
    }
    connection_->flush();
}

bool DesktopClient::hasRootProperty(const std::string& name) const {
    auto reply = takeReply(
        xcb_get_property_reply, connection(),
        xcb_get_property(connection(), 0, root(), atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 0));
    return reply && reply->type != XCB_NONE;
}

bool DesktopClient::hasSelectionOwner(const std::string& selection) const {
    auto reply = takeReply(xcb_get_selection_owner_reply, connection(),
                           xcb_get_selection_owner(connection(), atom(selection)));
    return reply && reply->owner != XCB_NONE;
}

std::optional<xcb_window_t> DesktopClient::activeWindow() const {
    auto reply = takeReply(xcb_get_property_reply, connection(),
                           xcb_get_property(connection(), 0, root(), atom("_NET_ACTIVE_WINDOW"),
                                            XCB_ATOM_WINDOW, 0, 1));
    if (!reply || xcb_get_property_value_length(reply.get()) < 4) {
        return std::nullopt;
    }
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

std::vector<xcb_window_t> DesktopClient::clientList() const {
    auto reply = takeReply(xcb_get_property_reply, connection(),
                           xcb_get_property(connection(), 0, root(), atom("_NET_CLIENT_LIST"),
                                            XCB_ATOM_WINDOW, 0, 4096));
    if (!reply) {
        return {};
    }
    auto* first = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

std::optional<xcb_window_t> DesktopClient::waitForClient(const std::string& wmClass,
                                                         std::chrono::milliseconds bound) {
    X11Atoms atoms = X11Atoms::intern(connection());
    std::optional<xcb_window_t> found;
    waitFor(
        [&] {
            std::vector<xcb_window_t> clients = clientList();
            for (const WindowFacts& facts : fetchWindowFacts(connection(), atoms, clients)) {
                if (facts.wmClass == wmClass && facts.viewable) {
                    found = facts.window;
                }
            }
            return found.has_value();
        },
        bound);
    return found;
}

bool DesktopClient::waitFor(const std::function<bool()>& condition,
                            std::chrono::milliseconds bound) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        // Events read while the condition asked the server: look again at once.
        bool queued = false;
        while (XcbEvent event{xcb_poll_for_queued_event(connection())}) {
            queued = true;
        }
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return condition();
        }
        if (queued) {
            continue;
        }
        pollfd watched{connection_->fd(), POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(left.count())) <= 0) {
            return condition();
        }
        while (XcbEvent event{xcb_poll_for_event(connection())}) {
        }
    }
    return true;
}

}  // namespace tesuko
