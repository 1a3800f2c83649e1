#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/x11/window_facts.h"
#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::Optional;

auto ownedBy(const std::string& owner) {
    return Field(&WindowInfo::ownerName, Optional(owner));
}

std::vector<std::optional<std::string>> ownersOf(const std::vector<WindowInfo>& windows) {
    std::vector<std::optional<std::string>> owners;
    for (const WindowInfo& window : windows) {
        owners.push_back(window.ownerName);
    }
    return owners;
}

class WindowListTest : public X11Test {
  protected:
    xcb_window_t managed(WindowSpec spec) {
        std::string wmClass = spec.wmClass.value_or("");
        xcb_window_t window = client().createWindow(spec);
        EXPECT_TRUE(client().waitForClient(wmClass)) << wmClass << " was not managed";
        return window;
    }
    std::vector<WindowInfo> windows() { return session().windowList().onScreenWindows(); }
};

TEST_F(WindowListTest, ListsOnScreenWindowsFrontMostFirstWithoutDesktopElements) {
    xcb_window_t terminal = startTerminal("OldTerm", "plain old title");
    xcb_window_t one = managed({.instance = "one", .wmClass = "One", .netWmName = "first"});
    xcb_window_t two = managed({.instance = "two", .wmClass = "Two", .netWmName = "second"});
    managed({.instance = "dock",
             .wmClass = "Panel",
             .netWmName = "panel",
             .windowType = "_NET_WM_WINDOW_TYPE_DOCK"});
    managed({.instance = "desk",
             .wmClass = "Desk",
             .netWmName = "desktop",
             .windowType = "_NET_WM_WINDOW_TYPE_DESKTOP"});
    client().createWindow({.instance = "never", .wmClass = "Unmapped", .map = false});

    // Where openbox stacks a new window depends on whether it focuses it.
    activate(one);
    activate(two);
    EXPECT_EQ(ownersOf(windows()),
              (std::vector<std::optional<std::string>>{"Two", "One", "OldTerm"}));

    activate(terminal);
    EXPECT_THAT(
        windows(),
        ElementsAre(AllOf(ownedBy("OldTerm"),
                          Field(&WindowInfo::title, Optional(std::string("plain old title")))),
                    ownedBy("Two"), ownedBy("One")));

    ASSERT_EQ(xdotool({"windowminimize", std::to_string(two)}), 0);
    EXPECT_TRUE(client().waitFor([&] {
        return ownersOf(windows()) == std::vector<std::optional<std::string>>{"OldTerm", "One"};
    })) << "a minimised window is not on screen";
}

TEST_F(WindowListTest, TitlesComeFromNetWmNameElseFromWmNameByItsType) {
    struct Case {
        const char* name;
        WindowSpec spec;
        std::optional<std::string> title;
    };
    const std::string esc = "\x1b";
    const std::vector<Case> cases{
        {"_NET_WM_NAME wins over WM_NAME",
         {.wmClass = "A", .wmName = TextProperty{"STRING", "old"}, .netWmName = "ñew — títle"},
         "ñew — títle"},
        {"WM_NAME as Latin-1",
         {.wmClass = "B", .wmName = TextProperty{"STRING", "caf\xe9"}},
         "café"},
        {"WM_NAME as UTF-8",
         {.wmClass = "C", .wmName = TextProperty{"UTF8_STRING", "日本語"}},
         "日本語"},
        {"WM_NAME as compound text",
         {.wmClass = "D",
          .wmName = TextProperty{"COMPOUND_TEXT",
                                 "na" + esc + "-A\xefve " + esc + "%G日本" + esc + "%@ ok"}},
         "naïve 日本 ok"},
        {"an empty _NET_WM_NAME falls back",
         {.wmClass = "E", .wmName = TextProperty{"STRING", "fallback"}, .netWmName = ""},
         "fallback"},
        {"invalid UTF-8 passes as it is",
         {.wmClass = "F", .netWmName = "bad \xff\xfe end"},
         "bad \xff\xfe end"},
        {"no title at all", {.wmClass = "G"}, std::nullopt},
    };
    for (const Case& c : cases) {
        managed(c.spec);
    }
    std::vector<WindowInfo> listed = windows();
    for (const Case& c : cases) {
        auto found = std::find_if(listed.begin(), listed.end(), [&](const WindowInfo& window) {
            return window.ownerName == c.spec.wmClass;
        });
        ASSERT_NE(found, listed.end()) << c.name;
        EXPECT_EQ(found->title, c.title) << c.name;
    }
}

TEST_F(WindowListTest, AWindowWithoutClassIsOwnedByItsProcessOrNobody) {
    client().createWindow({.netWmName = "by pid", .pid = static_cast<std::uint32_t>(::getpid())});
    ASSERT_TRUE(client().waitFor([&] { return windows().size() == 1; }));
    EXPECT_EQ(windows().front().ownerName, "tesuko_x11_test");

    client().createWindow({.netWmName = "nobody's"});
    ASSERT_TRUE(client().waitFor([&] { return windows().size() == 2; }));
    std::vector<WindowInfo> listed = windows();
    auto nobodys = std::find_if(listed.begin(), listed.end(), [](const WindowInfo& window) {
        return window.title == "nobody's";
    });
    ASSERT_NE(nobodys, listed.end());
    EXPECT_EQ(nobodys->ownerName, std::nullopt);
}

// Without a window manager: the lists a manager would keep are absent or set by hand.
class BareWindowListTest : public WindowListTest {
  protected:
    XvfbDesktop::WindowManager windowManager() const override {
        return XvfbDesktop::WindowManager::None;
    }
    void setList(const std::string& property, const std::vector<xcb_window_t>& windows) {
        xcb_change_property(client().connection(), XCB_PROP_MODE_REPLACE, client().root(),
                            client().atom(property), XCB_ATOM_WINDOW, 32,
                            static_cast<std::uint32_t>(windows.size()), windows.data());
        client().sync();
    }
};

TEST_F(BareWindowListTest, FallsBackToTheClientListThenToTheRootsChildren) {
    xcb_window_t bottom = client().createWindow({.wmClass = "Bottom"});
    xcb_window_t top = client().createWindow({.wmClass = "Top"});
    client().createWindow({.wmClass = "Popup", .overrideRedirect = true});
    EXPECT_EQ(ownersOf(windows()),
              (std::vector<std::optional<std::string>>{"Popup", "Top", "Bottom"}))
        << "the root's children, top first";

    setList("_NET_CLIENT_LIST", {bottom, top});
    EXPECT_EQ(ownersOf(windows()), (std::vector<std::optional<std::string>>{"Bottom", "Top"}))
        << "the client list, in its own order";

    setList("_NET_CLIENT_LIST_STACKING", {top, bottom});
    EXPECT_EQ(ownersOf(windows()), (std::vector<std::optional<std::string>>{"Bottom", "Top"}))
        << "the stacking list, reversed";
}

TEST_F(BareWindowListTest, WindowsThatVanishedAfterBeingListedAreSkipped) {
    xcb_window_t kept = client().createWindow({.wmClass = "Kept", .netWmName = "still here"});
    xcb_window_t gone = client().createWindow({.wmClass = "Gone", .netWmName = "closed"});
    xcb_window_t hidden = client().createWindow({.wmClass = "Hidden"});
    xcb_atom_t hiddenState = client().atom("_NET_WM_STATE_HIDDEN");
    xcb_change_property(client().connection(), XCB_PROP_MODE_REPLACE, hidden,
                        client().atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &hiddenState);
    constexpr xcb_window_t kNeverExisted = 0x7ffffff0;
    setList("_NET_CLIENT_LIST_STACKING", {kNeverExisted, kept, hidden, gone});
    client().destroy(gone);

    EXPECT_THAT(windows(),
                ElementsAre(AllOf(ownedBy("Kept"),
                                  Field(&WindowInfo::title, Optional(std::string("still here"))))));

    X11Atoms atoms = X11Atoms::intern(client().connection());
    std::vector<xcb_window_t> ids{gone, kept, hidden};
    std::vector<WindowFacts> facts = fetchWindowFacts(client().connection(), atoms, ids);
    EXPECT_FALSE(facts[0].exists);
    EXPECT_EQ(facts[0].wmClass, std::nullopt);
    EXPECT_TRUE(facts[1].onScreen());
    EXPECT_TRUE(facts[2].hidden);
    EXPECT_FALSE(facts[2].onScreen());
}

// A desktop can hold many windows and an application can name one at length:
// neither may make the list fail, and the long title comes back cut, not lost.
TEST_F(BareWindowListTest, TenThousandWindowsAndA64KiBTitleAreListed) {
    // Made in one go, with a single round trip at the end.
    xcb_connection_t* c = client().connection();
    xcb_atom_t netWmName = client().atom("_NET_WM_NAME");
    xcb_atom_t utf8 = client().atom("UTF8_STRING");
    constexpr std::string_view kClass("many\0Many\0", 10);
    std::vector<xcb_window_t> ids;
    for (int i = 0; i < 10000; ++i) {
        xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, client().root(),
                          std::int16_t(i % 100 * 8), std::int16_t(i / 100 * 8), 4, 4, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            kClass.size(), kClass.data());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmName, utf8, 8, 6, "window");
        xcb_map_window(c, window);
        ids.push_back(window);
    }
    std::string longTitle = std::string(64 * 1024 - 4, 'x') + "日";
    ids.push_back(client().createWindow({.wmClass = "Long", .netWmName = longTitle}));
    setList("_NET_CLIENT_LIST_STACKING", ids);

    std::vector<WindowInfo> listed = windows();
    ASSERT_EQ(listed.size(), ids.size());
    EXPECT_THAT(listed.front(), ownedBy("Long"));
    ASSERT_TRUE(listed.front().title.has_value());
    EXPECT_GE(listed.front().title->size(), 16u * 1024);
    EXPECT_EQ(longTitle.compare(0, listed.front().title->size(), *listed.front().title), 0);
    EXPECT_THAT(listed.back(), ownedBy("Many"));
}

}  // namespace
}  // namespace tesuko
