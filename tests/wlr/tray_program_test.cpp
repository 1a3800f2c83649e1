// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include <filesystem>
#include <regex>

#include "tests/wlr/headless_wlroots.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kBinary = fs::weakly_canonical(TESUKO_BINARY_DIR "/app/tesuko").string();

// The program as a login item on a bare wlroots compositor (no tray there:
// it records all the same), in a home of its own; the test plays the user.
class WlrTrayProgram {
  protected:
    // Skips the test when the compositor is not installed.
    void startCompositor(Wlroots kind) {
        if (!HeadlessWlroots::installed(kind)) {
            GTEST_SKIP() << nameOf(kind) << " is not installed";
        }
        compositor.emplace(kind);
        addLoginItem(work / "home/.config", kBinary);
    }
    // SIGTERM first, as a session ends; QProcess kills what is left.
    ~WlrTrayProgram() {
        tesuko.terminate();
        exitStatus(tesuko, 2s);
    }
    void startTesuko() {
        start(tesuko, {kBinary},
              {{"WAYLAND_DISPLAY", compositor->socket()},
               {"QT_QPA_PLATFORM", "wayland"},
               {"DISPLAY", std::nullopt},
               {"HOME", work / "home"},
               {"XDG_RUNTIME_DIR", work.path()},
               {"XDG_CONFIG_HOME", std::nullopt},
               {"XDG_STATE_HOME", std::nullopt},
               {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + work / "no-bus"},
               {"LC_ALL", "en_US.UTF-8"}},
              work / "tesuko.out");
        ASSERT_TRUE(waitUntil([&] { return output().find("No system tray") != npos; })) << output();
    }
    std::string output() const { return readFile(work / "tesuko.out"); }
    std::vector<std::string> records() const {
        return linesOf(readFile(work / "home/Desktop/TESUKO/log.csv"));
    }
    // The seconds of the record `index` of that application and title, with
    // clicks and keys left empty: Wayland shows no one the input.
    double recorded(std::size_t index, const std::string& application, const std::string& title) {
        EXPECT_TRUE(waitUntil([&] { return records().size() > index; })) << output();
        std::smatch fields;
        const std::string record = records().size() > index ? records()[index] : "";
        EXPECT_TRUE(std::regex_match(
            record, fields, std::regex(".*," + application + "," + title + ",,,([0-9.]+)")))
            << record;
        return fields.empty() ? 0 : std::stod(fields[1]);
    }
    static constexpr auto npos = std::string::npos;

    TempDir work;
    std::optional<HeadlessWlroots> compositor;
    QProcess tesuko;
};

class WlrTrayProgramTest : public WlrTrayProgram, public ::testing::TestWithParam<Wlroots> {
  protected:
    void SetUp() override { startCompositor(GetParam()); }
};

// Once the first record shows the program at work, its switches are timed:
// before, a busy start may read the first one late.
TEST_P(WlrTrayProgramTest, RecordsEachSwitchOfApplicationWithItsTitleAndTime) {
    QProcess& first = compositor->openWindow("editor.A", "Alpha one");
    compositor->openWindow("editor.A", "Alpha two");
    compositor->openWindow("viewer.B", "Beta pic");
    startTesuko();
    compositor->focus("Alpha one");
    recorded(0, "viewer\\.B", "Beta pic");
    const auto toB = compositor->focus("Beta pic");
    recorded(1, "editor\\.A", "Alpha one");
    const auto toA = compositor->focus("Alpha two");
    EXPECT_NEAR(recorded(2, "viewer\\.B", "Beta pic"), seconds(toA - toB), 0.2);
    std::printf("record written %.0f ms after the switch\n", seconds(Clock::now() - toA) * 1000);
    // Another window of the same application, and a new title: no record.
    compositor->focus("Alpha one");
    compositor->retitle(first, "Alpha one v2");
    const auto back = compositor->focus("Beta pic");
    EXPECT_NEAR(recorded(3, "editor\\.A", "Alpha one v2"), seconds(back - toA), 0.2);
    EXPECT_EQ(records().size(), 4u);
}

// SIGTERM ends the compositor as a session ends: every window closes before
// the program's connection does. SIGKILL: a crash.
class WlrTrayProgramEndTest : public WlrTrayProgram,
                              public ::testing::TestWithParam<std::tuple<Wlroots, int>> {
  protected:
    void SetUp() override { startCompositor(std::get<Wlroots>(GetParam())); }
};

TEST_P(WlrTrayProgramEndTest, TheCompositorGoingAwayWritesTheIntervalInProgressAndExitsCleanly) {
    compositor->openWindow("editor.A", "Alpha");
    compositor->openWindow("viewer.B", "Beta");
    startTesuko();
    compositor->focus("Alpha");
    recorded(0, "viewer\\.B", "Beta");
    const auto switched = compositor->focus("Beta");
    recorded(1, "editor\\.A", "Alpha");
    const auto stopped = Clock::now();
    compositor->stop(std::get<int>(GetParam()));
    EXPECT_EQ(exitStatus(tesuko), 0) << output();
    EXPECT_NEAR(recorded(2, "viewer\\.B", "Beta"), seconds(stopped - switched), 0.2);
}

const auto kCompositors = ::testing::Values(Wlroots::sway, Wlroots::labwc);

INSTANTIATE_TEST_SUITE_P(Compositors, WlrTrayProgramTest, kCompositors,
                         [](const auto& compositor) { return nameOf(compositor.param); });
INSTANTIATE_TEST_SUITE_P(CompositorsAndSignals, WlrTrayProgramEndTest,
                         ::testing::Combine(kCompositors, ::testing::Values(SIGTERM, SIGKILL)),
                         [](const auto& param) {
                             return nameOf(std::get<Wlroots>(param.param)) +
                                    (std::get<int>(param.param) == SIGTERM ? "End" : "Crash");
                         });

}  // namespace
}  // namespace tesuko
