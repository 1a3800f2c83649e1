// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>

#include "platform/kwin/kwin_session.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/kwin/headless_kwin.h"

namespace tesuko {
namespace {

TEST(KwinSessionTest, WithoutKwinOnTheBusItSaysSoForTheNextBackendToBeTried) {
    PrivateBus bus;
    FakeSystemLog log;
    EXPECT_EQ(KwinSession::open(bus.connect(), log).error, "KWin is not on the session bus");
}

// The script reports the window active when it starts (none here), and its
// private copy goes once it has; idle time comes over Wayland.
TEST(KwinSessionTest, HearsFromItsScriptAtOnceAndTellsIdleTime) {
    HeadlessKwin kwin;
    FakeSystemLog log;
    ::setenv("WAYLAND_DISPLAY", (kwin.bus.runtime + "/wayland-kw").c_str(), 1);
    OpenedDesktopSession opened = KwinSession::open(kwin.bus.connect(), log);
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
