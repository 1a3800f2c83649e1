// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <cmath>
#include <iostream>
#include <thread>

#include "tests/e2e/tray_fixture.h"
#include "tests/session/fake_desktop.h"

namespace tesuko {
namespace {

using Clock = std::chrono::steady_clock;

// The whole program with a stand-in logind and screensavers on private buses:
// time behind a locked screen writes no record, and the records around it
// end and begin at the lock and the unlock.
class HonestTimeTest : public TrayTest {
  protected:
    void startWatched(QProcess& tesuko) {
        startTesuko(tesuko, "tesuko.out",
                    {{"DBUS_SYSTEM_BUS_ADDRESS", buses.system.address},
                     {"DBUS_SESSION_BUS_ADDRESS", buses.session.address}});
        // Listening once it asked logind for the session's state.
        ASSERT_TRUE(waitUntil([&] { return buses.events().filter("GetAll").size() == 1; }, 15s))
            << output("tesuko.out");
    }
    // How far the record's seconds are from the interval the test measured.
    static double errorOf(const std::string& record, Clock::time_point from, Clock::time_point to) {
        return std::stod(record.substr(record.rfind(',') + 1)) - seconds(to - from);
    }

    FakeDesktop buses;
};

TEST_F(HonestTimeTest, TheRecordsShowExactlyTheTimeOutsideTheLock) {
    QProcess tesuko;
    startWatched(tesuko);
    xcb_window_t alpha = desktop->createManaged({.wmClass = "E2eAlpha", .netWmName = "alpha"});
    xcb_window_t beta = desktop->createManaged({.wmClass = "E2eBeta", .netWmName = "beta"});
    ASSERT_TRUE(waitForFront(",E2eBeta,beta,"));
    // The active window set directly, in one round trip, so that the test
    // knows when the switch happened to the millisecond.
    desktop->setActiveWindows({alpha});
    const Clock::time_point alphaFront = Clock::now();
    ASSERT_TRUE(waitForText(logFile(), ",E2eBeta,beta,"));
    const std::size_t before = records().size();

    std::this_thread::sleep_for(1200ms);
    buses.control("Signal", {"by_pid", "Lock", true});
    const Clock::time_point locked = Clock::now();
    ASSERT_TRUE(waitUntil([&] { return records().size() == before + 1; }));
    desktop->setActiveWindows({beta});  // behind the lock: no record
    std::this_thread::sleep_for(500ms);
    buses.control("Signal", {"by_pid", "Unlock", true});
    const Clock::time_point unlocked = Clock::now();
    std::this_thread::sleep_for(800ms);
    desktop->setActiveWindows({alpha});
    const Clock::time_point betaLeft = Clock::now();
    ASSERT_TRUE(waitUntil([&] { return records().size() == before + 2; }));

    const std::vector<std::string> written = records();
    ASSERT_EQ(written.size(), before + 2) << readFile(logFile());
    EXPECT_EQ(countOf(written[before], ",E2eAlpha,alpha,"), 1u) << written[before];
    EXPECT_EQ(countOf(written[before + 1], ",E2eBeta,beta,"), 1u) << written[before + 1];
    const double lockError = errorOf(written[before], alphaFront, locked);
    const double unlockError = errorOf(written[before + 1], unlocked, betaLeft);
    std::cout << "lock boundary error: " << std::lround(lockError * 1000)
              << " ms; unlock: " << std::lround(unlockError * 1000) << " ms\n";
    EXPECT_LT(std::abs(lockError), 0.2) << written[before];
    EXPECT_LT(std::abs(unlockError), 0.2) << written[before + 1];
    EXPECT_EQ(buses.events().filter("Inhibit").size(), 1) << "a delay inhibitor for sleep";

    tesuko.terminate();
    ASSERT_EQ(exitStatus(tesuko), 0) << output("tesuko.out");
}

}  // namespace
}  // namespace tesuko
