// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/qt_display.h"

#include <xcb/xcb.h>

#include <QGuiApplication>

namespace tesuko {

bool qtDisplayConnectionBroken() {
    if (qGuiApp == nullptr) {
        return false;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && x11->connection() != nullptr &&
           xcb_connection_has_error(x11->connection()) != 0;
}

}  // namespace tesuko
