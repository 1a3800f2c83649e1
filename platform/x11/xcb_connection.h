// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/x11/display_target.h"

namespace tesuko {

// One connection to an X server, with the root window of its default screen.
class XcbConnection {
  public:
    struct Opened;

    // A connection, or the reason there is none in words a user can act on.
    static Opened connect(const DisplayTarget& target);

    xcb_connection_t* get() const { return connection_.get(); }
    xcb_window_t root() const { return root_; }
    int fd() const { return xcb_get_file_descriptor(connection_.get()); }
    bool broken() const { return xcb_connection_has_error(connection_.get()) != 0; }
    void flush() const { xcb_flush(connection_.get()); }
    // One round trip: every request sent so far has been handled on return.
    void sync() const;

  private:
    struct Disconnect {
        void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
    };

    XcbConnection(xcb_connection_t* connection, xcb_window_t root)
        : connection_(connection), root_(root) {}

    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    xcb_window_t root_ = XCB_NONE;
};

struct XcbConnection::Opened {
    std::optional<XcbConnection> connection;  // none when it could not be made
    std::string error;
};

}  // namespace tesuko
