// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include "platform/alarm.h"

namespace tesuko {

// An alarm the test rings: ring() runs the handler set last, if any.
class FakeAlarm : public Alarm {
  public:
    void set(std::chrono::system_clock::time_point, Handler handler) override {
        handler_ = std::move(handler);
    }
    void cancel() override { handler_ = nullptr; }
    void ring() {
        if (Handler handler = std::exchange(handler_, nullptr)) {
            handler();
        }
    }

  private:
    Handler handler_;
};

}  // namespace tesuko
