// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include <QDBusPendingCall>

#include "fakes/fake_system_log.h"
#include "platform/dbus/tesuko_bus_names.h"
#include "platform/dbus_report/reported_desktop.h"
#include "platform/kwin/kwin_session.h"
#include "platform/posix/posix_file_system.h"
#include "tests/kwin/headless_kwin.h"

namespace tesuko {
namespace {

using ::testing::ElementsAreArray;
using Clock = std::chrono::steady_clock;

const QString kCompositor = QStringLiteral("test.Compositor");
// Held long, so that a loaded machine does not make a burst of two.
constexpr std::chrono::milliseconds kNoneHeldFor{500};

struct Report {
    QString application;  // empty: no active window
    QString title = {};
    QVariant pid = 0u;  // a uint32 as GNOME Shell sends it, an int32 as KWin does
    std::chrono::milliseconds pause = {};  // before it is sent
    bool fromStranger = false;             // a connection that is not the compositor's
    std::optional<std::chrono::milliseconds> stampedAgo = {};  // the compositor's stamp
};

QDBusMessage send(QDBusConnection& from, const Report& report) {
    auto call = QDBusMessage::createMethodCall(bus::service, bus::desktopPath,
                                               bus::desktopInterface, "ActiveWindowChanged");
    call.setArguments({report.application, report.title, report.pid});
    if (report.stampedAgo) {
        const auto stamp = std::chrono::system_clock::now() - *report.stampedAgo;
        call << std::chrono::duration<double, std::milli>(stamp.time_since_epoch()).count();
    }
    QDBusPendingCall pending = from.asyncCall(call);
    pumpUntil([&] { return pending.isFinished(); });
    return pending.reply();
}

// The desktop on a connection of its own, fed by the test's: one of them owns
// the stand-in compositor's name.
class ReportedDesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(compositor.registerService(kCompositor));
        ReportedDesktop::Started started =
            ReportedDesktop::start(own, kCompositor, log, kNoneHeldFor);
        ASSERT_TRUE(started.desktop) << started.error;
        desktop = std::move(started.desktop);
        desktop->workspace().subscribeSwitches(
            [this](const ApplicationSwitch& change) { switches.push_back(change); });
        desktop->onConnectionLost([this] { ++lostCalls; });
    }
    // Sends them in turn, then one more that surely switches: every switch
    // the others make has come once that one has.
    void sendAll(const std::vector<Report>& reports) {
        for (const Report& report : reports) {
            const auto resume = Clock::now() + report.pause;
            pumpUntil([&] { return Clock::now() >= resume; });
            const auto before = Clock::now();
            QDBusMessage reply = send(report.fromStranger ? stranger : compositor, report);
            EXPECT_EQ(reply.errorName(),
                      report.fromStranger ? "org.freedesktop.DBus.Error.AccessDenied" : "");
            const auto ago = report.stampedAgo.value_or(0ms);
            sent.emplace_back(before - ago - 1ms, Clock::now() - ago);
        }
        send(compositor, {"Last"});
        pumpUntil([&] { return !switches.empty() && switches.back().activated->name == "Last"; });
        switches.pop_back();
    }
    std::vector<std::string> windows() {
        std::vector<std::string> listed;
        for (const WindowInfo& window : desktop->windowList().onScreenWindows()) {
            listed.push_back(*window.ownerName + ":" + *window.title);
        }
        return listed;
    }

    PrivateBus bus;
    QDBusConnection compositor = bus.connect();
    QDBusConnection own = bus.connect();  // the desktop's
    QDBusConnection stranger = bus.connect();
    FakeSystemLog log;
    std::unique_ptr<ReportedDesktop> desktop;
    std::vector<ApplicationSwitch> switches;
    // Each call's span, less the age of its stamp; a stamp has whole milliseconds.
    std::vector<std::pair<Clock::time_point, Clock::time_point>> sent;
    int lostCalls = 0;
};

struct Case {
    std::string name;
    std::vector<Report> reports;
    std::vector<std::string> switches;  // "deactivated>activated", with pids
    std::vector<std::size_t> timedBy;   // for each switch, the report whose arrival it carries
    std::vector<std::string> windows;   // after the last report's
};

void PrintTo(const Case& each, std::ostream* out) {
    *out << each.name;
}

class ReportSequenceTest : public ReportedDesktopTest,
                           public ::testing::WithParamInterface<Case> {};

TEST_P(ReportSequenceTest, SwitchesOnlyForANewApplicationTimedByTheFirstReportOfTheBurst) {
    sendAll(GetParam().reports);
    std::vector<std::string> described;
    auto name = [](const std::optional<Application>& app) {
        return app ? app->name + (app->pid ? std::to_string(*app->pid) : "") : "";
    };
    for (std::size_t i = 0; i < switches.size(); ++i) {
        described.push_back(name(switches[i].deactivated) + ">" + name(switches[i].activated));
        auto [before, after] = sent.at(GetParam().timedBy.at(i));
        EXPECT_TRUE(switches[i].when >= before && switches[i].when <= after) << i;
    }
    EXPECT_THAT(described, ElementsAreArray(GetParam().switches));
    std::vector<std::string> behind = windows();
    behind.erase(behind.begin());
    EXPECT_THAT(behind, ElementsAreArray(GetParam().windows));
    const bool strangers = std::ranges::any_of(GetParam().reports, &Report::fromStranger);
    EXPECT_EQ(log.lines.size(), strangers ? 1u : 0u) << "one warning for all a stranger's calls";
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportSequenceTest,
    ::testing::Values(
        Case{"ANewTitleOrWindowOfTheSameApplicationSwitchesNothing",
             {{"A", "one", 9u}, {"A", "two"}, {"B", "three", 7}, {"A", "four"}, {"A", "five"}},
             {">A9", "A9>B7", "B7>A"},
             {0, 2, 3},
             {"A:five", "B:three"}},
        Case{"ANoneOnTheWayToTheNextWindowIsNoSwitch",
             {{"A", "one"}, {""}, {"B", "two", 0, 20ms}},
             {">A", "A>B"},
             {0, 1},
             {"B:two", "A:one"}},
        Case{"ANoneThatStaysSwitchesOnceAndTheListKeepsTheLastWindow",
             {{"A", "one"}, {""}, {"", "", 0u, kNoneHeldFor + 100ms}},
             {">A", "A>"},
             {0, 1},
             {"A:one"}},
        Case{"TheCompositorsStampTimesTheSwitch",
             {{"A", "one", 0u, {}, false, 300ms}, {"B", "two", 7, {}, false, 200ms}},
             {">A", "A>B7"},
             {0, 1},
             {"B:two", "A:one"}},
        Case{"AStrangersReportsAreRefused",
             {{"A", "one"}, {"B", "x", 0u, {}, true}, {"", "", 0u, {}, true}, {"A", "two"}},
             {">A"},
             {0},
             {"A:two"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST_F(ReportedDesktopTest, TheProgramsOwnObjectUnderTheSameNameIsNoObstacleAnotherProgramIs) {
    QObject quit;
    ASSERT_TRUE(own.registerObject(bus::programPath, &quit));
    ASSERT_TRUE(own.registerService(bus::service));
    sendAll({{"A", "one"}});
    EXPECT_EQ(switches.size(), 1u);
    ReportedDesktop::Started other = ReportedDesktop::start(bus.connect(), kCompositor, log);
    EXPECT_FALSE(other.desktop);
    EXPECT_THAT(other.error, ::testing::HasSubstr("another program owns"));
}

class SessionLossTest : public ReportedDesktopTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SessionLossTest, TheSessionIsLostOnceWhenTheCompositorLeavesTheBusOrTheBusGoes) {
    const bool compositorLeaves = GetParam();
    sendAll({{"A", "one"}});
    if (compositorLeaves) {
        compositor.unregisterService(kCompositor);
    } else {
        bus.stopDaemon();
    }
    EXPECT_TRUE(pumpUntil([&] { return desktop->connectionLost(); }));
    EXPECT_EQ(lostCalls, 1);
    EXPECT_EQ(windows().size(), 2u) << "the last windows stay for the interval in progress";
    if (compositorLeaves) {
        compositor.registerService(kCompositor);
        send(compositor, {"B"});
        EXPECT_EQ(desktop->workspace().activeApplication(), "Last") << "no report counts after";
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, SessionLossTest, ::testing::Bool());

// The script reports the window active when it starts (none here), and its
// private copy goes once it has; idle time comes over Wayland.
TEST(KwinSessionTest, HearsFromItsScriptAtOnceAndTellsIdleTime) {
    HeadlessKwin kwin;
    FakeSystemLog log;
    PosixFileSystem files;
    ::setenv("WAYLAND_DISPLAY", (kwin.bus.runtime + "/wayland-kw").c_str(), 1);
    OpenedDesktopSession opened = KwinSession::open(kwin.bus.connect(), log, files);
    ASSERT_TRUE(opened.session) << opened.error;
    auto& session = static_cast<KwinSession&>(*opened.session);
    EXPECT_TRUE(session.reported()) << ::testing::PrintToString(log.lines);
    for (const auto& entry : std::filesystem::directory_iterator(std::getenv("XDG_RUNTIME_DIR"))) {
        EXPECT_THAT(entry.path().filename().string(),
                    ::testing::Not(::testing::StartsWith("tesuko-kwin")));
    }

    bool idled = false;
    session.idleWatch().watch(100ms, {[&](auto) { idled = true; }, [](auto) {}});
    EXPECT_TRUE(pumpUntil([&] {
        session.processEvents();
        return idled;
    }));
}

}  // namespace
}  // namespace tesuko
