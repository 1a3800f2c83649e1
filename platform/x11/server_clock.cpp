// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/server_clock.h"

#include <algorithm>
#include <cstdint>

namespace tesuko {

ServerClock::Instant ServerClock::happenedAt(xcb_timestamp_t stamp, Instant receivedAt) {
    if (anchor_) {
        // Modulo 2^32, so a stamp just past the wrap is a little later.
        auto elapsed = static_cast<std::int32_t>(stamp - anchor_->stamp);
        if (elapsed >= 0) {
            Instant predicted = anchor_->at + std::chrono::milliseconds(elapsed);
            anchor_ = Anchor{stamp, std::min(predicted, receivedAt)};
            return anchor_->at;
        }
    }
    anchor_ = Anchor{stamp, receivedAt};
    return receivedAt;
}

}  // namespace tesuko
