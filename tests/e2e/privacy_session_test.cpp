// SPDX-License-Identifier: GPL-3.0-or-later
#include <thread>

#include "log/switch_record.h"
#include "tests/e2e/tray_fixture.h"

namespace tesuko {
namespace {

struct Record {
    int start = 0;  // whole seconds since midnight
    std::string application, title;
    double seconds = 0;
};

Record recordOf(const std::string& line) {
    const std::vector<std::string> fields = fieldsOf(line);
    const LocalTime start = parseStartTime(fields.at(0)).value_or(LocalTime{});
    return {start.hour * 3600 + start.minute * 60 + start.second, fields.at(1), fields.at(2),
            std::stod(fields.at(5))};
}

// tesuko as a login item in a private X session with E2eSecret untracked,
// the default private titles and timed pauses of 3 s; the test plays the
// other applications and the user.
using PrivacySessionTest = TrayTest;

TEST_F(PrivacySessionTest, PrivateTitlesUntrackedApplicationsAndATimedPauseInARealSession) {
    writeSettings("checkpointSeconds=1\nuntrackedApplications=E2eSecret\npauseSeconds=3\n");
    const std::string out = work / "tesuko.out";
    const std::string log = logFile();
    QProcess tesuko;
    startTesuko(tesuko, "tesuko.out");
    auto recordsWhenThere = [&](std::size_t count) {
        EXPECT_TRUE(waitUntil([&] { return records().size() >= count; }, 15s))
            << readFile(log) << readFile(out);
        std::vector<Record> found;
        for (const std::string& line : records()) {
            found.push_back(recordOf(line));
        }
        return found;
    };
    ASSERT_TRUE(waitForText(out, "No system tray"));
    desktop->startTray();
    ASSERT_TRUE(waitUntil([&] { return shownWindows() == 1; }));

    const xcb_window_t alpha =
        desktop->createManaged({.wmClass = "E2eAlpha", .netWmName = "alpha"});
    ASSERT_TRUE(waitForFront(",E2eAlpha,alpha,"));
    const xcb_window_t browser = desktop->createManaged(
        {.wmClass = "E2eBrowser", .netWmName = "Bank \u2014 Mozilla Firefox Private Browsing"});
    ASSERT_TRUE(waitForFront(",E2eBrowser,E2eBrowser,"));
    const xcb_window_t secret =
        desktop->createManaged({.wmClass = "E2eSecret", .netWmName = "vault"});
    ASSERT_EQ(recordsWhenThere(2).size(), 2u);
    std::this_thread::sleep_for(2s);  // the untracked application's time in front
    desktop->activate(alpha);
    ASSERT_TRUE(waitForFront(",E2eAlpha,alpha,"));
    desktop->activate(browser);
    std::vector<Record> written = recordsWhenThere(3);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[1].application + "," + written[1].title, "E2eBrowser,E2eBrowser");
    EXPECT_EQ(written[2].application, "E2eAlpha");
    const double gap = written[2].start - (written[1].start + written[1].seconds);
    EXPECT_TRUE(gap > 1 && gap < 4) << gap << " s without a record; start times are whole seconds";

    desktop->xdotool({"search", "--onlyvisible", "--class", "^tesuko$", "mousemove", "--window",
                      "%1", "10", "10", "click", "1"});
    ASSERT_TRUE(waitForText(out, "tesuko: menu: Quit"));
    ASSERT_TRUE(waitUntil([&] { return shownWindows() == 2; })) << "no menu on screen";
    desktop->xdotool({"key", "Down", "Down", "Return"});  // Stop Recording, Pause for 15 Minutes
    ASSERT_TRUE(waitForText(out, "Paused until"));
    desktop->activate(secret);
    desktop->activate(alpha);
    ASSERT_TRUE(waitForText(out, "The pause is over"));
    desktop->activate(browser);  // ends the interval that began with the pause's end
    written = recordsWhenThere(5);
    ASSERT_EQ(written.size(), 5u) << readFile(log);
    EXPECT_EQ(written[3].application, "E2eBrowser") << "written when the pause began";
    EXPECT_EQ(written[4].application, "E2eAlpha");
    EXPECT_GE(written[4].start, written[3].start + written[3].seconds + 2) << "none in the pause";
    EXPECT_EQ(readFile(log).find("vault"), std::string::npos);
    tesuko.terminate();
    EXPECT_EQ(exitStatus(tesuko), 0) << readFile(out);
}

}  // namespace
}  // namespace tesuko
