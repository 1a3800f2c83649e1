// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <algorithm>

#include "fakes/fake_system_log.h"
#include "tests/session/fake_desktop.h"

namespace tesuko {
namespace {

using Lines = std::vector<std::string>;

// The backend over a fake desktop, and what it told: "lock 1", "sleep 0".
struct Watched {
    explicit Watched(const QStringList& options = {}, const QString& sessionId = {})
        : desktop(options), events(desktop.buses(), log, sessionId) {
        events.subscribe({[this](bool locked) { told.push_back(locked ? "lock 1" : "lock 0"); },
                          [this](bool sleeping) {
                              told.push_back(sleeping ? "sleep 1" : "sleep 0");
                              // The fake notes whether it still sees the inhibitor held.
                              desktop.control("Note", {sleeping ? "sleeping" : "awake"});
                          }});
        // Listening once it asked for the session's state, each screensaver
        // whether it is active and logind for an inhibitor: it connects to
        // the signals before it asks.
        EXPECT_TRUE(pumpUntil([&] {
            const QStringList seen = desktop.events();
            return seen.filter("GetAll").size() == 1 && seen.filter("GetActive").size() == 3 &&
                   seen.filter("Inhibit").size() == 1;
        })) << desktop.events().join(" | ").toStdString();
    }
    long warnings() const {
        return std::count(log.priorities.begin(), log.priorities.end(),
                          SystemLog::Priority::warning);
    }

    FakeDesktop desktop;
    FakeSystemLog log;
    Lines told;
    DbusSessionEvents events;
};

// clang-format off
// A signal from the fake (target: a session, "manager" or a screensaver's path; empty: none; member
// "stranger": a screensaver's signal from a program that owns no name; "Own": the screensaver takes
// or leaves the name in target) and the line the backend tells for it, if any.
struct Step { const char *target, *member; bool value; const char* told; };
struct LockCase { const char* name; QStringList fakeOptions; const char* sessionId; std::vector<Step> steps; };

// Each case ends in a step that tells something, and each step that tells nothing is followed by
// one over the same bus whose line would differ had it told something: a wrong line shows up in
// the list, or a right one is missing.
const LockCase kLockCases[] = {
    {"UnlockWithoutLockAndTwoLocks", {}, "", {{"by_pid", "Unlock", true, nullptr}, {"by_pid", "Lock", true, "lock 1"},
        {"by_pid", "Lock", true, nullptr}, {"by_pid", "Unlock", true, "lock 0"}}},
    {"LockedHint", {}, "", {{"by_pid", "LockedHint", true, "lock 1"}, {"by_pid", "LockedHint", true, nullptr},
        {"by_pid", "LockedHint", false, "lock 0"}}},
    {"UnlockedAtTheLockerWithoutUnlockSignal", {}, "", {{"by_pid", "Lock", true, "lock 1"},
        {"by_pid", "LockedHint", true, nullptr}, {"by_pid", "LockedHint", false, "lock 0"}}},
    {"ScreenSaverOnBothPaths", {}, "", {{"/org/freedesktop/ScreenSaver", "", true, "lock 1"},
        {"/ScreenSaver", "", true, nullptr}, {"/ScreenSaver", "", false, "lock 0"}}},
    {"LockedWhileAnySourceSaysSo", {}, "", {{"/org/gnome/ScreenSaver", "", true, "lock 1"},
        {"by_pid", "LockedHint", true, nullptr}, {"by_pid", "LockedHint", false, nullptr},
        {"manager", "PrepareForSleep", true, "sleep 1"}, {"/org/gnome/ScreenSaver", "", false, "lock 0"}}},
    {"OtherSessionsIgnored", {}, "c3", {{"display", "LockedHint", true, nullptr},
        {"by_pid", "Active", false, "lock 1"}, {"by_pid", "Active", true, "lock 0"}}},
    {"DisplaySessionWhenTheIdIsUnknown", {"--no-pid-session"}, "c9", {{"by_pid", "Lock", true, nullptr},
        {"display", "Active", false, "lock 1"}, {"display", "Active", true, "lock 0"}}},
    {"LockedAtStart", {"--locked"}, "", {{"", "", false, "lock 1"}, {"by_pid", "LockedHint", false, "lock 0"}}},
    {"StrangersAreNotBelievedButMakeItAsk", {}, "", {{"/org/freedesktop/ScreenSaver", "stranger", true, nullptr},
        {"/org/gnome/ScreenSaver", "", true, "lock 1"}, {"/org/gnome/ScreenSaver", "stranger", false, nullptr},
        {"/org/gnome/ScreenSaver", "", false, "lock 0"}}},
    {"ScreenSaverThatLeftLocksNothingAndOneThatCameIsAsked", {}, "", {{"/ScreenSaver", "", true, "lock 1"},
        {"org.freedesktop.ScreenSaver", "Own", false, "lock 0"}, {"org.freedesktop.ScreenSaver", "Own", true, "lock 1"}}},
};
// clang-format on

void PrintTo(const LockCase& lockCase, std::ostream* out) {
    *out << lockCase.name;
}

class LockTest : public testing::TestWithParam<LockCase> {};

TEST_P(LockTest, TellsEachChangeOnce) {
    Watched watched(GetParam().fakeOptions, GetParam().sessionId);
    Lines expected;
    const auto asked = [&] { return watched.desktop.events().filter("GetActive").size(); };
    for (const Step& step : GetParam().steps) {
        const auto askedBefore = asked();
        if (*step.target) {
            watched.desktop.control("Signal", {step.target, step.member, step.value});
        }
        if (std::string_view(step.member) == "stranger") {
            // Once the screensaver is asked, the stranger's signal was taken.
            ASSERT_TRUE(pumpUntil([&] { return asked() > askedBefore; })) << "not asked";
            ASSERT_EQ(watched.told, expected) << "believed a stranger";
        }
        if (step.told != nullptr) {
            expected.emplace_back(step.told);
            ASSERT_TRUE(pumpUntil([&] { return watched.told.size() >= expected.size(); }))
                << step.told;
        }
    }
    EXPECT_EQ(watched.told, expected);
    EXPECT_EQ(watched.warnings(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sources, LockTest, testing::ValuesIn(kLockCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SleepTest, HandlerRunsBeforeSleepGoesOnAndAWakeTakesANewInhibitor) {
    Watched watched;
    watched.desktop.control("Signal", {"manager", "PrepareForSleep", true});
    ASSERT_TRUE(pumpUntil([&] { return watched.desktop.events().contains("released"); }));
    watched.desktop.control("Signal", {"manager", "PrepareForSleep", false});
    ASSERT_TRUE(pumpUntil([&] { return watched.desktop.events().filter("Inhibit").size() == 2; }));

    EXPECT_EQ(watched.told, (Lines{"sleep 1", "sleep 0"}));
    // held=: whether the fake saw the inhibitor still open while the handler ran.
    EXPECT_EQ(
        watched.desktop.events()
            .filter(QRegularExpression("^(Inh|note|rel)"))
            .join(" | ")
            .toStdString(),
        "Inhibit /org/freedesktop/login1 sleep tesuko Write the interval in progress delay"
        " | note sleeping held=True | released | note awake held=False"
        " | Inhibit /org/freedesktop/login1 sleep tesuko Write the interval in progress delay");
}

TEST(BusLossTest, LostSystemBusCountsAsUnlockedAndAwakeWithOneWarning) {
    Watched watched;
    watched.desktop.control("Signal", {"manager", "PrepareForSleep", true});
    watched.desktop.control("Signal", {"by_pid", "Lock", true});
    ASSERT_TRUE(pumpUntil([&] { return watched.told.size() == 2; }));

    watched.desktop.system.stopDaemon();
    ASSERT_TRUE(pumpUntil([&] { return watched.told.size() == 4; }));
    // The session bus still counts: a screensaver that came since is heard.
    QDBusConnection screenSaver = watched.desktop.session.connect();
    ASSERT_TRUE(screenSaver.registerService("org.gnome.ScreenSaver"));
    screenSaver.send(QDBusMessage::createSignal("/org/gnome/ScreenSaver", "org.gnome.ScreenSaver",
                                                "ActiveChanged")
                     << true);
    ASSERT_TRUE(pumpUntil([&] { return watched.told.size() == 5; }));
    EXPECT_EQ(watched.told, (Lines{"sleep 1", "lock 1", "sleep 0", "lock 0", "lock 1"}));
    EXPECT_EQ(watched.warnings(), 1);
}

}  // namespace
}  // namespace tesuko
