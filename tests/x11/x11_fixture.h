// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "fakes/fake_system_log.h"
#include "platform/x11/x11_session.h"
#include "support/main_loop.h"
#include "support/xvfb_desktop.h"

namespace tesuko {

// A private desktop and the session under test, fresh for each test.
class X11Test : public ::testing::Test {
  protected:
    void SetUp() override {
        desktop.emplace(windowManager);
        OpenedDesktopSession opened =
            X11Session::open(DisplayTarget{desktop->display(), std::nullopt}, systemLog);
        ASSERT_TRUE(opened.session) << opened.error;
        session = std::move(opened.session);
        prepare();
    }
    // What a suite sets up on top, once the desktop and the session are there.
    virtual void prepare() {}

    // Runs the session's share of a main loop until the condition holds or
    // 10 s passed; whether it holds.
    bool pump(const std::function<bool()>& condition) {
        return pumpUntil([&] {
            session->processEvents();
            return condition();
        });
    }
    bool activeIs(const std::optional<std::string>& application) {
        return pump([&] { return session->workspace().activeApplication() == application; });
    }

    // Handles every event the server sent the session so far: the server has
    // flushed them all by the time it answers the test's round trip. Input
    // from a finished xdotool counts as sent: it closes its display, and so
    // waits for the server to handle all it asked for.
    void settle() {
        desktop->sync();
        session->processEvents();
    }

    XvfbDesktop::WindowManager windowManager = XvfbDesktop::WindowManager::Openbox;
    std::optional<XvfbDesktop> desktop;
    FakeSystemLog systemLog;
    std::unique_ptr<DesktopSession> session;
};

}  // namespace tesuko
