// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "recorder/switch_record.h"
#include "tests/support/xvfb_desktop.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

struct Record {
    int start = 0;  // whole seconds since midnight
    std::string application, title;
    double seconds = 0;
};

Record recordOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) {
        fields.push_back(field);
    }
    const LocalTime start = parseStartTime(fields.at(0)).value_or(LocalTime{});
    return {start.hour * 3600 + start.minute * 60 + start.second, fields.at(1), fields.at(2),
            std::stod(fields.at(5))};
}

// tesuko as a login item in a private X session with E2eSecret untracked,
// the default private titles and timed pauses of 3 s; the test plays the
// other applications and the user.
TEST(PrivacySessionTest, PrivateTitlesUntrackedApplicationsAndATimedPauseInARealSession) {
    // The test program's own private home and XDG folders are tesuko's.
    const std::string home = std::getenv("HOME");
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    const std::string out = home + "/tesuko.out";
    const std::string log = home + "/Desktop/TESUKO/log.csv";
    addLoginItem(config, TESUKO_BINARY_DIR "/app/tesuko");
    fs::create_directories(config + "/tesuko");
    writeFile(config + "/tesuko/tesuko.conf", "[General]\nuntrackedApplications=E2eSecret\n");
    XvfbDesktop desktop;
    EnvChanges env = desktop.env();
    env.merge(EnvChanges{{"XDG_CONFIG_DIRS", home + "/no-system-config"},
                         {"QT_QPA_PLATFORM", "xcb"},
                         {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + home + "/no-bus"},
                         {"TESUKO_TRACE_MENU", "1"},
                         {"TESUKO_PAUSE_SECONDS", "3"},
                         {"TESUKO_CHECKPOINT_SECONDS", "1"}});
    QProcess tesuko;
    start(tesuko, {TESUKO_BINARY_DIR "/app/tesuko"}, env, out);
    auto waitFor = [](const std::string& path, const std::string& part) {
        const bool found =
            waitUntil([&] { return readFile(path).find(part) != std::string::npos; }, 15s);
        EXPECT_TRUE(found) << "no \"" << part << "\" in " << path << ":\n" << readFile(path);
        return found;
    };
    auto recordsWhenThere = [&](std::size_t count) {
        EXPECT_TRUE(waitUntil([&] { return linesOf(readFile(log)).size() >= count; }, 15s))
            << readFile(log) << readFile(out);
        std::vector<Record> records;
        for (const std::string& line : linesOf(readFile(log))) {
            records.push_back(recordOf(line));
        }
        return records;
    };
    // Switches that come together count as one, by where they end: the test
    // waits until tesuko has a window in front, as the interval in progress
    // saved each second shows.
    const std::string checkpoint =
        std::string(std::getenv("XDG_STATE_HOME")) + "/tesuko/interval.checkpoint";
    auto waitForFront = [&](const std::string& record) { return waitFor(checkpoint, record); };
    ASSERT_TRUE(waitFor(out, "No system tray"));
    desktop.startTray();
    auto shownWindows = [&] {  // the icon, and the menu while open
        return linesOf(desktop.xdotool({"search", "--onlyvisible", "--class", "^tesuko$"}).output)
            .size();
    };
    ASSERT_TRUE(waitUntil([&] { return shownWindows() == 1; }));

    const xcb_window_t alpha = desktop.createManaged({.wmClass = "E2eAlpha", .netWmName = "alpha"});
    ASSERT_TRUE(waitForFront(",E2eAlpha,alpha,"));
    const xcb_window_t browser = desktop.createManaged(
        {.wmClass = "E2eBrowser", .netWmName = "Bank \u2014 Mozilla Firefox Private Browsing"});
    ASSERT_TRUE(waitForFront(",E2eBrowser,E2eBrowser,"));
    const xcb_window_t secret =
        desktop.createManaged({.wmClass = "E2eSecret", .netWmName = "vault"});
    ASSERT_EQ(recordsWhenThere(2).size(), 2u);
    std::this_thread::sleep_for(2s);  // the untracked application's time in front
    desktop.activate(alpha);
    ASSERT_TRUE(waitForFront(",E2eAlpha,alpha,"));
    desktop.activate(browser);
    std::vector<Record> records = recordsWhenThere(3);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].application + "," + records[1].title, "E2eBrowser,E2eBrowser");
    EXPECT_EQ(records[2].application, "E2eAlpha");
    const double gap = records[2].start - (records[1].start + records[1].seconds);
    EXPECT_TRUE(gap > 1 && gap < 4) << gap << " s without a record; start times are whole seconds";

    desktop.xdotool({"search", "--onlyvisible", "--class", "^tesuko$", "mousemove", "--window",
                     "%1", "10", "10", "click", "1"});
    ASSERT_TRUE(waitFor(out, "tesuko menu: Quit"));
    ASSERT_TRUE(waitUntil([&] { return shownWindows() == 2; })) << "no menu on screen";
    desktop.xdotool({"key", "Down", "Down", "Return"});  // Stop Recording, Pause for 15 Minutes
    ASSERT_TRUE(waitFor(out, "Paused until"));
    desktop.activate(secret);
    desktop.activate(alpha);
    ASSERT_TRUE(waitFor(out, "The pause is over"));
    desktop.activate(browser);  // ends the interval that began with the pause's end
    records = recordsWhenThere(5);
    ASSERT_EQ(records.size(), 5u) << readFile(log);
    EXPECT_EQ(records[3].application, "E2eBrowser") << "written when the pause began";
    EXPECT_EQ(records[4].application, "E2eAlpha");
    EXPECT_GE(records[4].start, records[3].start + records[3].seconds + 2) << "none in the pause";
    EXPECT_EQ(readFile(log).find("vault"), std::string::npos);
    tesuko.terminate();
    EXPECT_EQ(exitStatus(tesuko), 0) << readFile(out);
}

}  // namespace
}  // namespace tesuko
