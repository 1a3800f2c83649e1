// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <chrono>

#include "platform/alarm.h"
#include "platform/clock.h"

namespace tesuko {

// Rings at a moment of the wall clock, from the main loop. A timer alone
// counts neither the time the machine sleeps nor a changed clock, so it looks
// at the clock at least once a minute.
class QtAlarm : public Alarm {
  public:
    explicit QtAlarm(Clock& clock);

    void set(std::chrono::system_clock::time_point when, Handler handler) override;
    void cancel() override;

  private:
    void ringWhenDue();

    Clock& clock_;
    QTimer timer_;
    std::chrono::system_clock::time_point when_;
    Handler handler_;
};

}  // namespace tesuko
