// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/desktop/desktop_backends.h"
#include "platform/desktop_session.h"

namespace tesuko {

namespace {

struct Backend {
    std::string_view name;
    OpenedDesktopSession (*open)(SystemLog&);
    bool wayland;  // tried only in a Wayland session, unless named
};

// In the order they are tried.
constexpr Backend kBackends[] = {
#if TESUKO_WLR
    {"wlr", openWlrSession, true},
#endif
#if TESUKO_KWIN
    {"kwin", openKwinSession, true},
#endif
#if TESUKO_GNOME
    {"gnome", openGnomeSession, true},
#endif
#if TESUKO_X11
    {"x11", openX11Session, false},
#endif
};

std::string builtIn() {
    std::string names;
    for (const Backend& backend : kBackends) {
        names += names.empty() ? "" : ", ";
        names += backend.name;
    }
    return names;
}

OpenedDesktopSession openNamed(std::string_view name, SystemLog& systemLog) {
    for (const Backend& backend : kBackends) {
        if (backend.name == name) {
            return backend.open(systemLog);
        }
    }
    return {nullptr, "TESUKO_BACKEND=" + std::string(name) +
                         " names no backend built in (built in: " + builtIn() + ")"};
}

}  // namespace

OpenedDesktopSession openDesktopSession(SystemLog& systemLog) {
    if (const char* name = std::getenv("TESUKO_BACKEND"); name != nullptr && *name != '\0') {
        return openNamed(name, systemLog);
    }
    const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
    const bool wayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    std::string reasons;
    for (const Backend& backend : kBackends) {
        if (backend.wayland != wayland) {
            continue;
        }
        OpenedDesktopSession opened = backend.open(systemLog);
        if (opened.session) {
            return opened;
        }
        reasons += (reasons.empty() ? "" : "; ") + std::string(backend.name) + ": " + opened.error;
    }
    if (!wayland) {
        return {nullptr, reasons.empty() ? "no backend for X11 built in" : reasons};
    }
    // XWayland shows only some of the windows: recording those alone would
    // pass off part of the desktop as all of it.
    return {nullptr,
            "this Wayland desktop offers none of the ways tesuko sees the window in "
            "front (" +
                (reasons.empty() ? "no Wayland backend built in" : reasons) +
                "). TESUKO_BACKEND=x11 records the XWayland windows alone."};
}

}  // namespace tesuko
