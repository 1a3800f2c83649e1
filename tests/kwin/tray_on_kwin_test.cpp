// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include <deque>

#include "platform/dbus/tesuko_bus_names.h"
#include "tests/kwin/headless_kwin.h"

namespace tesuko {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

const std::string kTesuko = TESUKO_BINARY_DIR "/app/tesuko";
const std::string kClient = TESUKO_BINARY_DIR "/tests/wayland_client/tesuko_test_wayland_client";

// tesuko as a login item on a headless KWin, in a home of its own; the test
// plays the user with two windows of the Wayland test client. Qt draws off
// screen: its own Wayland connection would end the program with _exit(1),
// from a thread of its own, when KWin goes.
class TrayOnKwinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        addLoginItem(home() + "/.config", kTesuko);
        for (const char* application : {"kwin.Alpha", "kwin.Beta"}) {
            QProcess& window = windows.emplace_back();
            start(window, {kClient, application, application + 5 + std::string(" one")},
                  kwin.env());
            ASSERT_TRUE(window.waitForReadyRead(10000) && window.readLine() == "ready\n");
        }
        // KWin may take on a window, and activate it, after the window was shown.
        ASSERT_TRUE(pumpUntil([&] { return kwin.evaluate("windows().length") == "2"; }));
        kwin.activate("kwin.Beta");
        start(tesuko, {kTesuko},
              kwin.env({{"HOME", home()},
                        {"XDG_CONFIG_HOME", std::nullopt},
                        {"XDG_CACHE_HOME", std::nullopt},
                        {"XDG_STATE_HOME", std::nullopt},
                        {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + kwin.bus.dir / "no-bus"},
                        {"LC_ALL", "en_US.UTF-8"},
                        {"QT_QPA_PLATFORM", "offscreen"},
                        {"TESUKO_BACKEND", "kwin"},
                        {"TESUKO_DEBUG", "1"}}),
              kwin.bus.dir / "tesuko.out");
        // Logged once the script reported the window active at its start.
        ASSERT_TRUE(waitUntil([&] { return output().find("Watching KWin") != std::string::npos; }))
            << output();
        // A stranger's report is refused; the answer comes from the main
        // loop, which runs once recording started.
        auto call = QDBusMessage::createMethodCall(bus::service, bus::desktopPath,
                                                   bus::desktopInterface, "ActiveWindowChanged");
        call.setArguments({"Intruder", "fake", 1u});
        EXPECT_EQ(kwin.bus.connect().call(call).errorName(),
                  "org.freedesktop.DBus.Error.AccessDenied");
    }
    void TearDown() override {
        stop(tesuko);
        for (QProcess& window : windows) {
            window.closeWriteChannel();  // it leaves at the end of its input
            window.waitForFinished();
        }
    }

    std::string home() const { return kwin.bus.dir / "home"; }
    std::string output() const { return readFile(kwin.bus.dir / "tesuko.out"); }
    QString script() const { return QStringLiteral("tesuko-%1-1").arg(tesuko.processId()); }
    std::vector<std::string> records() const {
        return linesOf(readFile(home() + "/Desktop/TESUKO/log.csv"));
    }
    // Reads the log every half millisecond until it holds `count` records:
    // how long after `since` the last came.
    double awaitRecords(std::size_t count, Clock::time_point since) {
        for (const auto deadline = since + 10s; Clock::now() < deadline; QThread::usleep(500)) {
            if (records().size() >= count) {
                return seconds(Clock::now() - since);
            }
        }
        ADD_FAILURE() << "no record " << count << ":\n"
                      << output() << readFile(kwin.bus.dir / "kwin.log");
        return 0;
    }
    void pause(std::chrono::milliseconds span) {
        const auto until = Clock::now() + span;
        pumpUntil([&] { return Clock::now() >= until; });
    }

    HeadlessKwin kwin;
    std::deque<QProcess> windows;
    QProcess tesuko;
};

TEST_F(TrayOnKwinTest, RealSwitchesGiveOneRecordEachTimedLikeTheSwitchesAndTitlesAlone) {
    std::vector<double> latencies;
    auto switchTo = [&](const std::string& application, std::size_t records) {
        const auto asked = Clock::now();
        const auto done = kwin.activate(application);
        latencies.push_back(awaitRecords(records, asked));
        return done;
    };
    const auto toAlpha = switchTo("kwin.Alpha", 1);
    pause(300ms);
    windows[0].write("Alpha two\n");  // a new title alone writes nothing
    ASSERT_TRUE(pumpUntil([&] { return kwin.evaluate("activeWindow().caption") == "Alpha two"; }));
    const auto toBeta = switchTo("kwin.Beta", 2);
    pause(400ms);
    const auto backToAlpha = switchTo("kwin.Alpha", 3);
    std::sort(latencies.begin(), latencies.end());
    RecordProperty("switch_to_record_ms", std::to_string(latencies[1] * 1000));

    tesuko.terminate();
    ASSERT_EQ(exitStatus(tesuko), 0) << output();
    EXPECT_FALSE(kwin.scriptLoaded(script())) << "the script is unloaded on the way out";
    const std::vector<std::string> written = records();
    ASSERT_EQ(written.size(), 4u) << output();
    // No clicks or keys are counted on Wayland: those fields stay empty.
    EXPECT_THAT(fieldsOf(written[0]), ElementsAre(_, "kwin.Beta", "Beta one", "", "", _));
    EXPECT_THAT(fieldsOf(written[1]), ElementsAre(_, "kwin.Alpha", "Alpha two", "", "", _));
    EXPECT_THAT(fieldsOf(written[2]), ElementsAre(_, "kwin.Beta", "Beta one", "", "", _));
    EXPECT_THAT(fieldsOf(written[3]), ElementsAre(_, "kwin.Alpha", "Alpha two", "", "", _));
    EXPECT_NEAR(std::stod(fieldsOf(written[1])[5]), seconds(toBeta - toAlpha), 0.2);
    EXPECT_NEAR(std::stod(fieldsOf(written[2])[5]), seconds(backToAlpha - toBeta), 0.2);
}

TEST_F(TrayOnKwinTest, TheEndOfKwinWritesTheIntervalInProgressAndExitsCleanly) {
    const auto toAlpha = kwin.activate("kwin.Alpha");
    awaitRecords(1, toAlpha);
    pause(300ms);
    const auto ending = Clock::now();
    kwin.stopKwin();  // it may activate other windows as it closes them
    ASSERT_EQ(exitStatus(tesuko), 0) << output();
    ASSERT_GE(records().size(), 2u) << output();
    EXPECT_THAT(fieldsOf(records()[1]), ElementsAre(_, "kwin.Alpha", "Alpha one", "", "", _));
    EXPECT_NEAR(std::stod(fieldsOf(records()[1])[5]), seconds(ending - toAlpha), 0.2);
}

}  // namespace
}  // namespace tesuko
