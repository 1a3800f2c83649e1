// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <optional>

namespace tesuko {

// Places X server timestamps on our steady clock.
//
// The server stamps an event when it happens, in milliseconds on a clock of
// its own that wraps after about 49 days; we may read the event seconds later
// while the main loop is busy. The offset between the two clocks is taken as
// the smallest (receipt - stamp) seen: a late receipt only makes that
// difference larger, so it never spoils the estimate. The estimate is anchored
// at the latest stamp, so the wrap-around only ever shows as a short step
// forward. A stamp that goes back means the server's clock did (or that no
// event came for 24 days): the offset is learnt afresh from that event.
//
// Whatever the stamps, what it returns is never later than the event's receipt
// and never earlier than what it returned for an event received before.
class ServerClock {
  public:
    using Instant = std::chrono::steady_clock::time_point;

    // Takes an event stamped `stamp` that was read at `receivedAt`; when it
    // happened on the steady clock.
    Instant happenedAt(xcb_timestamp_t stamp, Instant receivedAt);

  private:
    struct Anchor {
        xcb_timestamp_t stamp;
        Instant at;
    };

    std::optional<Anchor> anchor_;
};

}  // namespace tesuko
