// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using X11SessionTest = X11Test;

TEST_F(X11SessionTest, ALostServerIsReportedOnceAndTheLastActiveWindowKept) {
    desktop->activate(desktop->createManaged({.wmClass = "Last", .netWmName = "last words"}));
    ASSERT_TRUE(activeIs("Last"));
    int reports = 0;
    session->onConnectionLost([&] { ++reports; });

    desktop->killServer();
    // Asked before the session noticed, as the front end may when its own
    // connection broke first.
    std::vector<WindowInfo> windows = session->windowList().onScreenWindows();
    ASSERT_TRUE(pump([&] { return session->connectionLost(); }));
    session->processEvents();

    EXPECT_EQ(reports, 1);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].ownerName, "Last");
    EXPECT_EQ(windows[0].title, "last words");
    EXPECT_EQ(session->workspace().activeApplication(), "Last");
}

}  // namespace
}  // namespace tesuko
