#pragma once

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/x11_session.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/support/desktop_client.h"
#include "tests/support/xvfb_desktop.h"

namespace tesuko {

// Runs the session's share of a main loop until the condition holds or the
// bound passes; whether it holds.
inline bool pumpUntil(X11Session& session, const std::function<bool()>& condition,
                      std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd watched{session.fd(), POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(left.count())) > 0) {
            session.processEvents();
        }
    }
    return true;
}

// A private desktop, a client that plays the other applications, and the
// session under test, all fresh for each test.
class X11Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (auto reason = XvfbDesktop::unavailableReason()) {
            GTEST_SKIP() << *reason;
        }
        desktop_.emplace(windowManager());
        client_.emplace(desktop_->display());
        X11Opened opened =
            X11Session::open(DisplayTarget{desktop_->display(), std::nullopt}, systemLog_);
        ASSERT_TRUE(opened.session) << opened.error;
        session_ = std::move(opened.session);
        prepare();
    }
    // What a suite sets up on top, once the desktop and the session are there.
    virtual void prepare() {}

    virtual XvfbDesktop::WindowManager windowManager() const {
        return XvfbDesktop::WindowManager::Openbox;
    }

    XvfbDesktop& desktop() { return *desktop_; }
    DesktopClient& client() { return *client_; }
    X11Session& session() { return *session_; }
    bool pump(const std::function<bool()>& condition,
              std::chrono::milliseconds bound = std::chrono::seconds(10)) {
        return pumpUntil(*session_, condition, bound);
    }

    // Handles every event the server sent the session so far: the server has
    // flushed them all by the time it answers the client's round trip. Input
    // from a finished xdotool counts as sent: it closes its display, and so
    // waits for the server to handle all it asked for.
    void settleSession() {
        client_->sync();
        pollfd watched{session_->fd(), POLLIN, 0};
        while (!session_->connectionLost() && ::poll(&watched, 1, 0) > 0) {
            session_->processEvents();
        }
    }

    // An xterm of its own class and title, running nothing that reads input.
    xcb_window_t startTerminal(const std::string& wmClass, const std::string& title) {
        desktop_->launch({"xterm", "-class", wmClass, "-T", title, "-e", "sleep", "infinity"});
        std::optional<xcb_window_t> window = client_->waitForClient(wmClass);
        EXPECT_TRUE(window) << "no xterm of class " << wmClass << " appeared";
        return window.value_or(XCB_NONE);
    }
    void activate(xcb_window_t window) {
        ASSERT_EQ(xdotool({"windowactivate", "--sync", std::to_string(window)}), 0);
    }
    // Runs xdotool on the desktop; its exit status.
    int xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "xdotool");
        return desktop_->run(arguments).status;
    }

    FakeSystemLog systemLog_;

  private:
    std::optional<XvfbDesktop> desktop_;
    std::optional<DesktopClient> client_;
    std::unique_ptr<X11Session> session_;
};

}  // namespace tesuko
