#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "recorder/recorder.h"
#include "tests/fakes/fake_home_folder.h"
#include "tests/fakes/fake_login_items.h"
#include "tests/fakes/fake_save_panel.h"
#include "tests/fakes/fake_user_defaults.h"
#include "tests/integration/temp_dir.h"
#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

// A record of the application and title with exact counts and some seconds.
std::string recordPattern(const std::string& application, const std::string& title, int clicks,
                          int keys) {
    return "[0-9]{4}年[0-9]{2}月[0-9]{2}日 [0-9]{2}時[0-9]{2}分[0-9]{2}秒," + application + "," +
           title + "," + std::to_string(clicks) + "," + std::to_string(keys) + ",[0-9]+\\.[0-9]{6}";
}

double secondsOf(const std::string& line) {
    return std::stod(line.substr(line.rfind(',') + 1));
}

// The recorder over the X11 backend, real files in a private home and the
// real clock; the other services are fakes.
class RecorderOverX11Test : public X11Test {
  protected:
    void prepare() override {
        alpha = startTerminal("AlphaTerm", "alpha one");
        beta = client().createWindow({.instance = "beta",
                                      .wmClass = "BetaView",
                                      .wmName = TextProperty{"STRING", "old"},
                                      .netWmName = "βeta — notes"});
        ASSERT_TRUE(client().waitForClient("BetaView"));
        platform.emplace(Platform{session().workspace(), session().windowList(),
                                  session().inputMonitors(), fileSystem, userDefaults, savePanel,
                                  loginItems, systemLog_, clock, homeFolder});
    }

    // Brings the window to the front and waits until the recorder heard of it.
    void switchTo(xcb_window_t window, const std::string& application) {
        activate(window);
        ASSERT_TRUE(pump([&] { return recorder->heldApplicationName() == application; }));
    }
    std::string log() const { return readFile(home / "Desktop/TESUKO/log.csv"); }

    TempDir home;
    PosixFileSystem fileSystem;
    FakeUserDefaults userDefaults;
    FakeSavePanel savePanel;
    FakeLoginItems loginItems;
    SystemClock clock;
    FakeHomeFolder homeFolder{home.path()};
    std::optional<Platform> platform;
    std::optional<Recorder> recorder;
    xcb_window_t alpha = XCB_NONE;
    xcb_window_t beta = XCB_NONE;
};

TEST_F(RecorderOverX11Test, RealSwitchesWriteTheApplicationTitleCountsAndSeconds) {
    activate(beta);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "BetaView"; }));
    recorder.emplace(*platform);
    recorder->run();
    switchTo(alpha, "AlphaTerm");
    std::size_t before = linesOf(log()).size();

    ASSERT_EQ(xdotool({"mousemove", "--sync", "--window", std::to_string(alpha), "30", "30"}), 0);
    ASSERT_EQ(xdotool({"click", "1", "click", "3", "click", "2", "click", "4", "click", "5"}), 0);
    ASSERT_EQ(xdotool({"click", "--repeat", "2", "--delay", "40", "1"}), 0);
    ASSERT_EQ(xdotool({"type", "Hi!"}), 0);
    switchTo(beta, "BetaView");

    ASSERT_EQ(xdotool({"type", "ok"}), 0);
    switchTo(alpha, "AlphaTerm");

    std::vector<std::string> lines = linesOf(log());
    ASSERT_EQ(lines.size(), before + 2) << log();
    EXPECT_THAT(lines[before], MatchesRegex(recordPattern("AlphaTerm", "alpha one", 4, 3)));
    EXPECT_THAT(lines[before + 1], MatchesRegex(recordPattern("BetaView", "βeta — notes", 0, 2)));
    EXPECT_GT(secondsOf(lines[before]), 0);
    EXPECT_GT(secondsOf(lines[before + 1]), 0);
}

TEST_F(RecorderOverX11Test, NothingIsCountedOrWrittenAfterStop) {
    activate(alpha);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "AlphaTerm"; }));
    recorder.emplace(*platform);
    recorder->run();
    recorder->stop();
    std::string stopped = log();

    ASSERT_EQ(xdotool({"click", "1", "type", "abc"}), 0);
    activate(beta);
    settleSession();
    EXPECT_EQ(session().workspace().activeApplication(), "BetaView");
    EXPECT_EQ(recorder->clickCount(), 0);
    EXPECT_EQ(recorder->keyDownCount(), 0);
    EXPECT_EQ(log(), stopped);
}

// Whatever a window calls itself, its record stays one line of six fields.
TEST_F(RecorderOverX11Test, AHostileNameAndTitleStillMakeOneRecordOfSixFields) {
    std::string controls;
    for (char c = 0; c < 0x20; ++c) {
        controls += c;
    }
    const std::string title = "T" + controls + "\x7f" + "a,b\xff\xfe" + "end";
    xcb_window_t hostile = client().createWindow(
        {.instance = "hostile", .wmClass = "Hostile,App", .netWmName = title});
    ASSERT_TRUE(client().waitForClient("Hostile,App"));
    activate(alpha);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "AlphaTerm"; }));
    recorder.emplace(*platform);
    recorder->run();
    switchTo(hostile, "Hostile,App");
    std::size_t before = linesOf(log()).size();

    switchTo(alpha, "AlphaTerm");

    std::vector<std::string> lines = linesOf(log());
    ASSERT_EQ(lines.size(), before + 1) << log();
    std::vector<std::string> fields;
    std::stringstream line(lines.back());
    for (std::string field; std::getline(line, field, ',');) {
        fields.push_back(field);
    }
    ASSERT_EQ(fields.size(), 6u) << lines.back();
    EXPECT_EQ(fields[1], "Hostile、App");
    EXPECT_EQ(fields[2], "T" + std::string(33, ' ') + "a、b\uFFFD\uFFFDend");
}

TEST_F(RecorderOverX11Test, WhenTheServerGoesTheIntervalInProgressIsWritten) {
    activate(alpha);
    ASSERT_TRUE(pump([&] { return session().workspace().activeApplication() == "AlphaTerm"; }));
    recorder.emplace(*platform);
    recorder->run();
    ASSERT_EQ(xdotool({"mousemove", "--sync", "--window", std::to_string(alpha), "30", "30"}), 0);
    ASSERT_EQ(xdotool({"click", "3", "type", "xyz"}), 0);
    ASSERT_TRUE(pump([&] { return recorder->keyDownCount() == 3; }));
    int lost = 0;
    session().onConnectionLost([&] {
        ++lost;
        recorder->stop();
    });
    std::size_t before = linesOf(log()).size();

    desktop().killServer();
    ASSERT_TRUE(pump([&] { return session().connectionLost(); }));
    session().processEvents();

    EXPECT_EQ(lost, 1);
    std::vector<std::string> lines = linesOf(log());
    ASSERT_EQ(lines.size(), before + 1) << log();
    EXPECT_THAT(lines.back(), MatchesRegex(recordPattern("AlphaTerm", "alpha one", 1, 3)));
}

}  // namespace
}  // namespace tesuko
