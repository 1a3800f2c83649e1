// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tesuko {

// xcb hands out replies and events allocated with malloc.
struct XcbFree {
    void operator()(void* pointer) const { std::free(pointer); }
};

template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

using XcbEvent = XcbReply<xcb_generic_event_t>;

// Waits for the reply to a request. An error (a window that vanished, a
// broken connection) gives no reply; the error itself is freed with it.
template <typename Reply, typename Cookie>
XcbReply<Reply> takeReply(Reply* (*fetch)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                          xcb_connection_t* connection, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    XcbReply<Reply> reply(fetch(connection, cookie, &error));
    XcbReply<xcb_generic_error_t> discarded(error);
    return reply;
}

}  // namespace tesuko
