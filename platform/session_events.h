// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include "platform/system_log.h"

namespace tesuko {

// What the desktop session says about the user being away from it: the
// screen locked (or the session switched away) and the machine going to
// sleep. Neither is time in an application.
class SessionEvents {
  public:
    struct Handlers {
        // True once the screen locks or the session is switched away; false
        // once it is back. Called only on a change.
        std::function<void(bool locked)> lockChanged;
        // True just before the machine sleeps, false after it woke. Whatever
        // the handler writes for `true` is written before the machine sleeps:
        // the sleep waits for the handler to return.
        std::function<void(bool sleeping)> sleepChanged;
    };

    virtual ~SessionEvents() = default;

    // One set of handlers at a time; subscribing again replaces them.
    virtual void subscribe(Handlers handlers) = 0;
};

// The session's events as this desktop offers them (over D-Bus today).
// Needs the Qt application.
std::unique_ptr<SessionEvents> openSessionEvents(SystemLog& log);

}  // namespace tesuko
