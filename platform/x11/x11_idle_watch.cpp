// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/x11_idle_watch.h"

#include <xcb/screensaver.h>

#include <algorithm>
#include <utility>

#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

using namespace std::chrono_literals;

constexpr auto kPollWhileIdle = 1s;
// The server's count and our clock are read a moment apart: input seen
// within this of the last one is the same input.
constexpr auto kSameInput = 50ms;

bool hasScreenSaverExtension(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection, &xcb_screensaver_id);
    return extension != nullptr && extension->present != 0;
}

}  // namespace

X11IdleWatch::X11IdleWatch(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root), available_(hasScreenSaverExtension(connection)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { check(); });
}

void X11IdleWatch::watch(std::chrono::milliseconds threshold, Handlers handlers) {
    threshold_ = threshold;
    handlers_ = std::move(handlers);
    idleSince_.reset();
    if (available_) {
        check();
    }
}

void X11IdleWatch::stop() {
    timer_.stop();
    handlers_ = {};
    idleSince_.reset();
}

std::optional<std::chrono::milliseconds> X11IdleWatch::sinceLastInput() const {
    auto reply = takeReply(xcb_screensaver_query_info_reply, connection_,
                           xcb_screensaver_query_info(connection_, root_));
    if (!reply) {
        return std::nullopt;  // the connection broke: the session notices
    }
    return std::chrono::milliseconds(reply->ms_since_user_input);
}

void X11IdleWatch::check() {
    const std::optional<std::chrono::milliseconds> since = sinceLastInput();
    if (!since || !handlers_.idle) {
        return;
    }
    const TimePoint now = std::chrono::steady_clock::now();
    const TimePoint lastInput = now - *since;
    if (idleSince_ && lastInput > *idleSince_ + kSameInput) {
        idleSince_.reset();
        handlers_.active(lastInput);
    } else if (!idleSince_ && *since >= threshold_) {
        idleSince_ = lastInput;
        handlers_.idle(lastInput);
    }
    // Polling at half the threshold at most, input that came back is seen
    // before it could be idle again.
    timer_.start(idleSince_ ? std::min<std::chrono::milliseconds>(kPollWhileIdle, threshold_ / 2)
                            : std::max(threshold_ - *since, 0ms));
}

}  // namespace tesuko
