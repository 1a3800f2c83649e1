// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <utility>

#include "platform/idle_watch.h"

namespace tesuko {

// An idle watch the test drives: idle() and active() run the handlers of the
// watch in place, if any.
class FakeIdleWatch : public IdleWatch {
  public:
    bool available() const override { return available_; }
    void watch(std::chrono::milliseconds threshold, Handlers handlers) override {
        threshold_ = threshold;
        handlers_ = std::move(handlers);
    }
    void stop() override {
        threshold_.reset();
        handlers_ = {};
    }

    void idle(TimePoint lastInput) {
        if (handlers_.idle) {
            handlers_.idle(lastInput);
        }
    }
    void active(TimePoint at) {
        if (handlers_.active) {
            handlers_.active(at);
        }
    }

    bool available_ = true;
    std::optional<std::chrono::milliseconds> threshold_;  // while watching

  private:
    Handlers handlers_;
};

}  // namespace tesuko
