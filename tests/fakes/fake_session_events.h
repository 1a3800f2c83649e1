// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include "platform/session_events.h"

namespace tesuko {

class FakeSessionEvents : public SessionEvents {
  public:
    void subscribe(Handlers handlers) override { handlers_ = std::move(handlers); }

    void lock(bool locked) { handlers_.lockChanged(locked); }
    void sleep(bool sleeping) { handlers_.sleepChanged(sleeping); }

  private:
    Handlers handlers_;
};

}  // namespace tesuko
