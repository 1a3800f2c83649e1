// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QThread>
#include <chrono>

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using Clock = std::chrono::steady_clock;

// The idle watch over the server's own count of time since input, with input
// sent through XTEST.
class IdleWatchTest : public X11Test {
  protected:
    void prepare() override {
        ensureApplication();  // the watch runs on Qt's timers
        ASSERT_TRUE(session->idleWatch().available());
        input();  // a server started a while ago may count as idle already
        session->idleWatch().watch(
            kThreshold, {[this](auto at) { idleSince = at; }, [this](auto at) { activeAt = at; }});
    }
    // Input now, as the server sees it: the moment xdotool returned.
    Clock::time_point input() {
        EXPECT_EQ(desktop->xdotool({"mousemove_relative", "--sync", "1", "1"}).status, 0);
        return Clock::now();
    }

    static constexpr std::chrono::milliseconds kThreshold{700};
    std::optional<Clock::time_point> idleSince;
    std::optional<Clock::time_point> activeAt;
};

// Idle begins at the last input, however late the threshold was noticed, and
// ends at the next input; input before the threshold keeps it off.
TEST_F(IdleWatchTest, IdleRunsFromTheLastInputToTheNext) {
    const auto tolerance = 150ms;
    for (int k = 0; k < 3; ++k) {
        input();
        QThread::msleep(300);
        QCoreApplication::processEvents();
    }
    const Clock::time_point last = input();
    ASSERT_TRUE(pumpUntil([&] { return idleSince.has_value(); }));
    EXPECT_GE(Clock::now() - last, kThreshold - tolerance);
    EXPECT_LT(*idleSince - last, tolerance);
    EXPECT_LT(last - *idleSince, tolerance);
    EXPECT_FALSE(activeAt);

    QThread::msleep(200);
    const Clock::time_point back = input();
    ASSERT_TRUE(pumpUntil([&] { return activeAt.has_value(); }));
    EXPECT_LT(*activeAt - back, tolerance);
    EXPECT_LT(back - *activeAt, tolerance);
}

TEST_F(IdleWatchTest, NothingRunsOnceStopped) {
    session->idleWatch().stop();
    idleSince.reset();
    input();
    QThread::msleep(2 * kThreshold.count());
    QCoreApplication::processEvents();
    EXPECT_FALSE(idleSince);
}

}  // namespace
}  // namespace tesuko
