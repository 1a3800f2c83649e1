// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/x11_atoms.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

// A field of X11Atoms. (An alias: clang-format 14 and 19 space a member
// pointer's name differently.)
using AtomField = xcb_atom_t X11Atoms::*;

struct AtomName {
    const char* name;
    AtomField member;
};

constexpr std::array kAtomNames{
    AtomName{"_NET_ACTIVE_WINDOW", &X11Atoms::netActiveWindow},
    AtomName{"_NET_CLIENT_LIST_STACKING", &X11Atoms::netClientListStacking},
    AtomName{"_NET_CLIENT_LIST", &X11Atoms::netClientList},
    AtomName{"_NET_WM_NAME", &X11Atoms::netWmName},
    AtomName{"_NET_WM_PID", &X11Atoms::netWmPid},
    AtomName{"_NET_WM_STATE", &X11Atoms::netWmState},
    AtomName{"_NET_WM_STATE_HIDDEN", &X11Atoms::netWmStateHidden},
    AtomName{"_NET_WM_WINDOW_TYPE", &X11Atoms::netWmWindowType},
    AtomName{"_NET_WM_WINDOW_TYPE_DESKTOP", &X11Atoms::netWmWindowTypeDesktop},
    AtomName{"_NET_WM_WINDOW_TYPE_DOCK", &X11Atoms::netWmWindowTypeDock},
    AtomName{"_NET_WM_WINDOW_TYPE_TOOLTIP", &X11Atoms::netWmWindowTypeTooltip},
    AtomName{"_NET_WM_WINDOW_TYPE_NOTIFICATION", &X11Atoms::netWmWindowTypeNotification},
    AtomName{"UTF8_STRING", &X11Atoms::utf8String},
    AtomName{"COMPOUND_TEXT", &X11Atoms::compoundText},
};

}  // namespace

X11Atoms X11Atoms::intern(xcb_connection_t* connection) {
    std::array<xcb_intern_atom_cookie_t, kAtomNames.size()> cookies{};
    for (std::size_t i = 0; i < kAtomNames.size(); ++i) {
        const char* name = kAtomNames[i].name;
        cookies[i] =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    }
    X11Atoms atoms;
    for (std::size_t i = 0; i < kAtomNames.size(); ++i) {
        if (auto reply = takeReply(xcb_intern_atom_reply, connection, cookies[i])) {
            atoms.*(kAtomNames[i].member) = reply->atom;
        }
    }
    return atoms;
}

}  // namespace tesuko
