// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_alarm.h"

#include <algorithm>
#include <utility>

namespace tesuko {

QtAlarm::QtAlarm(Clock& clock) : clock_(clock) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { ringWhenDue(); });
}

void QtAlarm::set(std::chrono::system_clock::time_point when, Handler handler) {
    when_ = when;
    handler_ = std::move(handler);
    timer_.start(std::chrono::milliseconds(0));
}

void QtAlarm::cancel() {
    timer_.stop();
    handler_ = nullptr;
}

void QtAlarm::ringWhenDue() {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when_ - clock_.wallNow());
    if (left.count() > 0) {
        timer_.start(std::min<std::chrono::milliseconds>(left, std::chrono::minutes(1)));
    } else if (Handler handler = std::exchange(handler_, nullptr)) {
        handler();
    }
}

}  // namespace tesuko
