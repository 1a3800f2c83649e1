// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/open_desktop_session.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/desktop/desktop_backends.h"

namespace tesuko {

namespace {

std::string builtIn() {
    std::string names;
    for (const DesktopBackend& backend : kDesktopBackends) {
        names += names.empty() ? "" : ", ";
        names += backend.name;
    }
    return names;
}

OpenedDesktopSession openNamed(std::string_view name, SystemLog& systemLog, FileSystem& files) {
    for (const DesktopBackend& backend : kDesktopBackends) {
        if (backend.name == name) {
            return backend.open(systemLog, files);
        }
    }
    return {nullptr, "TESUKO_BACKEND=" + std::string(name) +
                         " names no backend built in (built in: " + builtIn() + ")"};
}

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<std::string> whyNoDesktopToWatch() {
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) {
        return std::nullopt;
    }
    return "no display to watch: neither DISPLAY nor WAYLAND_DISPLAY is set";
}

OpenedDesktopSession openDesktopSession(SystemLog& systemLog, FileSystem& files) {
    if (isSet("TESUKO_BACKEND")) {
        return openNamed(std::getenv("TESUKO_BACKEND"), systemLog, files);
    }
    const bool wayland = isSet("WAYLAND_DISPLAY");
    std::string reasons;
    for (const DesktopBackend& backend : kDesktopBackends) {
        if (backend.wayland != wayland) {
            continue;
        }
        OpenedDesktopSession opened = backend.open(systemLog, files);
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
