// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include <QDBusMessage>

#include "platform/gnome/mutter_idle_watch.h"
#include "support/main_loop.h"
#include "tests/gnome/headless_gnome_shell.h"

namespace tesuko {
namespace {

using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

// The last input by the monitor's own count: the Shell may take its time to
// handle the test's input on a busy machine.
Clock::time_point lastInput(QDBusConnection& bus) {
    auto ask = QDBusMessage::createMethodCall("org.gnome.Mutter.IdleMonitor",
                                              "/org/gnome/Mutter/IdleMonitor/Core",
                                              "org.gnome.Mutter.IdleMonitor", "GetIdletime");
    const auto idle = std::chrono::milliseconds(bus.call(ask).arguments().value(0).toULongLong());
    return Clock::now() - idle;
}

TEST(MutterIdleWatchTest, TellsIdleFromTheLastInputAndActiveAtTheNextUntilStopped) {
    HeadlessGnomeShell shell(false);
    shell.logIn();
    MutterIdleWatch watch(shell.bus());
    ASSERT_TRUE(watch.available());
    std::vector<std::pair<std::string, Clock::time_point>> told;
    const IdleWatch::Handlers handlers{[&](auto at) { told.emplace_back("idle", at); },
                                       [&](auto at) { told.emplace_back("active", at); }};

    // Set long after the last input, the watch tells at once when that was;
    // then active at the next input, and idle again after the threshold.
    shell.test("Nudge");
    pumpUntil([] { return false; }, 1s);
    watch.watch(300ms, handlers);
    ASSERT_TRUE(pumpUntil([&] { return told.size() == 1; }));
    EXPECT_LT(std::chrono::abs(told[0].second - lastInput(shell.bus())), 150ms);
    shell.test("Nudge");
    ASSERT_TRUE(pumpUntil([&] { return told.size() == 3; }));
    EXPECT_LT(std::chrono::abs(told[2].second - lastInput(shell.bus())), 150ms);
    EXPECT_GE(Clock::now() - told[2].second, 300ms);
    std::vector<std::string> kinds;
    for (const auto& [kind, at] : told) {
        kinds.push_back(kind);
    }
    EXPECT_THAT(kinds, ElementsAre("idle", "active", "idle"));

    // Stopped, it tells nothing more, even while a new watch runs its course.
    watch.stop();
    shell.test("Nudge");
    bool newWatchTold = false;
    watch.watch(300ms, {[&](auto) { newWatchTold = true; }, [](auto) {}});
    ASSERT_TRUE(pumpUntil([&] { return newWatchTold; }));
    EXPECT_EQ(told.size(), 3u);
}

}  // namespace
}  // namespace tesuko
