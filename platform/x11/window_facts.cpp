// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/window_facts.h"

#include <algorithm>
#include <string_view>

#include "platform/x11/process_name.h"
#include "platform/x11/window_text.h"
#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

// Lengths are in 32-bit units: a class up to 16 KiB, a handful of atoms, and
// titles up to 256 KiB, far beyond any real one. A title is read whole, since
// its end may be what marks it private; a longer one is not used at all.
constexpr std::uint32_t kTextLength = 4096;
constexpr std::uint32_t kTitleLength = 64 * 1024;
constexpr std::uint32_t kAtomListLength = 64;

using PropertyReply = XcbReply<xcb_get_property_reply_t>;

struct PendingFacts {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t wmClass;
    xcb_get_property_cookie_t pid;
    xcb_get_property_cookie_t netWmName;
    xcb_get_property_cookie_t wmName;
    xcb_get_property_cookie_t state;
    xcb_get_property_cookie_t type;
};

xcb_get_property_cookie_t requestProperty(xcb_connection_t* connection, xcb_window_t window,
                                          xcb_atom_t property, std::uint32_t length) {
    return xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, length);
}

PendingFacts requestFacts(xcb_connection_t* connection, const X11Atoms& atoms,
                          xcb_window_t window) {
    return PendingFacts{
        xcb_get_window_attributes(connection, window),
        requestProperty(connection, window, XCB_ATOM_WM_CLASS, kTextLength),
        requestProperty(connection, window, atoms.netWmPid, 1),
        requestProperty(connection, window, atoms.netWmName, kTitleLength),
        requestProperty(connection, window, XCB_ATOM_WM_NAME, kTitleLength),
        requestProperty(connection, window, atoms.netWmState, kAtomListLength),
        requestProperty(connection, window, atoms.netWmWindowType, kAtomListLength),
    };
}

PropertyReply takeProperty(xcb_connection_t* connection, xcb_get_property_cookie_t cookie) {
    PropertyReply reply = takeReply(xcb_get_property_reply, connection, cookie);
    if (reply && reply->type == XCB_NONE) {
        reply.reset();  // the property is not set
    }
    return reply;
}

std::string_view bytesOf(const xcb_get_property_reply_t& reply) {
    return {static_cast<const char*>(xcb_get_property_value(&reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(&reply))};
}

std::span<const xcb_atom_t> atomsOf(const PropertyReply& reply) {
    if (!reply || reply->format != 32) {
        return {};
    }
    return {static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4};
}

bool holdsAny(std::span<const xcb_atom_t> list, std::initializer_list<xcb_atom_t> wanted) {
    return std::any_of(list.begin(), list.end(), [&](xcb_atom_t atom) {
        return atom != XCB_NONE && std::find(wanted.begin(), wanted.end(), atom) != wanted.end();
    });
}

// WM_CLASS holds two NUL-terminated strings, the instance and then the class.
std::optional<std::string> classOf(const PropertyReply& reply) {
    if (!reply || reply->format != 8) {
        return std::nullopt;
    }
    std::string_view bytes = bytesOf(*reply);
    std::size_t instanceEnd = bytes.find('\0');
    if (instanceEnd == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = bytes.substr(instanceEnd + 1);
    std::string_view name = rest.substr(0, rest.find('\0'));
    if (name.empty()) {
        return std::nullopt;
    }
    return std::string(name);
}

std::optional<std::uint32_t> cardinalOf(const PropertyReply& reply) {
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
        return std::nullopt;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

std::optional<std::string> textOf(const PropertyReply& reply, const X11Atoms& atoms) {
    if (!reply || reply->format != 8) {
        return std::nullopt;
    }
    if (reply->bytes_after > 0) {
        return std::string();  // too long to be read whole: as a window without a title
    }
    TextEncoding encoding = TextEncoding::Utf8;
    if (reply->type == XCB_ATOM_STRING) {
        encoding = TextEncoding::Latin1;
    } else if (reply->type == atoms.compoundText) {
        encoding = TextEncoding::CompoundText;
    }
    return textToUtf8(bytesOf(*reply), encoding);
}

WindowFacts collectFacts(xcb_connection_t* connection, const X11Atoms& atoms, xcb_window_t window,
                         const PendingFacts& pending) {
    WindowFacts facts;
    facts.window = window;
    auto attributes = takeReply(xcb_get_window_attributes_reply, connection, pending.attributes);
    PropertyReply wmClass = takeProperty(connection, pending.wmClass);
    PropertyReply pid = takeProperty(connection, pending.pid);
    PropertyReply netWmName = takeProperty(connection, pending.netWmName);
    PropertyReply wmName = takeProperty(connection, pending.wmName);
    PropertyReply state = takeProperty(connection, pending.state);
    PropertyReply type = takeProperty(connection, pending.type);
    if (!attributes) {
        return facts;  // gone since it was listed: every other reply is an error too
    }
    facts.exists = true;
    facts.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    facts.hidden = holdsAny(atomsOf(state), {atoms.netWmStateHidden});
    facts.desktopElement =
        holdsAny(atomsOf(type), {atoms.netWmWindowTypeDesktop, atoms.netWmWindowTypeDock});
    facts.wmClass = classOf(wmClass);
    facts.pid = cardinalOf(pid);
    facts.title = textOf(netWmName, atoms);
    if (!facts.title || facts.title->empty()) {
        facts.title = textOf(wmName, atoms);
    }
    return facts;
}

}  // namespace

std::optional<std::string> WindowFacts::application() const {
    if (wmClass) {
        return wmClass;
    }
    return pid ? processName(*pid) : std::nullopt;
}

std::vector<WindowFacts> fetchWindowFacts(xcb_connection_t* connection, const X11Atoms& atoms,
                                          std::span<const xcb_window_t> windows) {
    std::vector<PendingFacts> pending;
    pending.reserve(windows.size());
    for (xcb_window_t window : windows) {
        pending.push_back(requestFacts(connection, atoms, window));
    }
    std::vector<WindowFacts> facts;
    facts.reserve(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        facts.push_back(collectFacts(connection, atoms, windows[i], pending[i]));
    }
    return facts;
}

}  // namespace tesuko
