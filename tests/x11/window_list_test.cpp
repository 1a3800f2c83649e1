// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <algorithm>
#include <tuple>

#include "tests/x11/x11_fixture.h"

namespace tesuko {
namespace {

using Names = std::vector<std::optional<std::string>>;
using Field = std::optional<std::string> WindowInfo::*;

class WindowListTest : public X11Test {
  protected:
    // That field of each window listed, in the list's order.
    Names listed(Field field = &WindowInfo::ownerName) {
        Names names;
        for (const WindowInfo& window : session->windowList().onScreenWindows()) {
            names.push_back(window.*field);
        }
        return names;
    }
};

TEST_F(WindowListTest, ListsOnScreenWindowsFrontMostFirstWithoutDesktopElements) {
    xcb_window_t old = desktop->createManaged({.wmClass = "Old"});
    xcb_window_t one = desktop->createManaged({.wmClass = "One"});
    xcb_window_t two = desktop->createManaged({.wmClass = "Two"});
    desktop->createManaged({.wmClass = "Panel", .windowType = "_NET_WM_WINDOW_TYPE_DOCK"});
    desktop->createManaged({.wmClass = "Desk", .windowType = "_NET_WM_WINDOW_TYPE_DESKTOP"});
    desktop->createWindow({.wmClass = "Unmapped", .map = false});

    // Where openbox stacks a new window depends on whether it focuses it.
    desktop->activate(one);
    desktop->activate(two);
    EXPECT_EQ(listed(), (Names{"Two", "One", "Old"}));
    desktop->activate(old);
    EXPECT_EQ(listed(), (Names{"Old", "Two", "One"}));
    // openbox hides a window a moment after the request.
    ASSERT_EQ(desktop->xdotool({"windowminimize", std::to_string(two)}).status, 0);
    EXPECT_TRUE(waitUntil([&] { return listed() == Names{"Old", "One"}; })) << "still on screen";
}

// Without a window manager: the lists a manager would keep are absent or set by hand.
class BareWindowListTest : public WindowListTest {
  protected:
    BareWindowListTest() { windowManager = XvfbDesktop::WindowManager::None; }
    void stack(const std::string& property, const std::vector<xcb_window_t>& windows) {
        desktop->setList(desktop->root(), property, XCB_ATOM_WINDOW, windows);
    }
};

TEST_F(BareWindowListTest, OwnersAndTitlesComeFromTheirProperties) {
    const std::string esc = "\x1b";
    // WM_NAME's type and bytes, and the title they make.
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"STRING", "caf\xe9 \xa9 \xff", "café © ÿ"},
        {"UTF8_STRING", "a\xff\xc3", "a\xff\xc3"},  // invalid UTF-8 passes as it is
        {"COMPOUND_TEXT", "na\xefve", "naïve"},     // Latin-1 without escapes
        {"COMPOUND_TEXT", esc + "-B\xb1", "ą"},
        {"COMPOUND_TEXT", esc + "$)B\xc6\xfc\xcb\xdc", "日本"},
        {"COMPOUND_TEXT", esc + "-A\xe9" + esc + "%G✓" + esc + "%@\xe9", "é✓é"},
        {"COMPOUND_TEXT", "a" + esc + "%G✓", "a✓"},  // an unterminated UTF-8 segment
    };
    Names titles;
    for (const auto& [type, bytes, title] : cases) {
        desktop->createWindow({.wmName = bytes, .wmNameType = type});
        titles.insert(titles.begin(), title);  // the last made is on top
    }
    // _NET_WM_NAME comes first, unless it is empty.
    desktop->createWindow({.wmName = "old", .netWmName = "ñew"});
    desktop->createWindow({.wmName = "fallback", .netWmName = ""});
    titles.insert(titles.begin(), {"fallback", "ñew"});
    // Read whole, as its end may make it private; too long for that, not at all.
    const std::string longTitle = std::string(100 * 1024, 'x') + " Private Browsing";
    desktop->createWindow({.netWmName = longTitle});
    desktop->createWindow({.netWmName = std::string(256 * 1024 + 1, 'x')});
    titles.insert(titles.begin(), {std::nullopt, longTitle});
    EXPECT_EQ(listed(&WindowInfo::title), titles);

    // Each window's class names its application, else its process does.
    desktop->createWindow({.wmClass = "org.example.Viewer", .pid = 1});
    desktop->createWindow({.pid = static_cast<std::uint32_t>(::getpid())});
    desktop->createWindow({});
    Names owners = listed();
    owners.resize(3);
    EXPECT_EQ(owners, (Names{std::nullopt, "tesuko_x11_test", "org.example.Viewer"}));
}

TEST_F(BareWindowListTest, FallsBackToTheClientListThenToTheRootsChildrenAndSkipsHiddenOnes) {
    xcb_window_t bottom = desktop->createWindow({.wmClass = "Bottom"});
    xcb_window_t top = desktop->createWindow({.wmClass = "Top"});
    desktop->createWindow({.wmClass = "Popup", .overrideRedirect = true});
    EXPECT_EQ(listed(), (Names{"Popup", "Top", "Bottom"})) << "the root's children, top first";
    stack("_NET_CLIENT_LIST", {bottom, top});
    EXPECT_EQ(listed(), (Names{"Bottom", "Top"})) << "the client list, in its own order";
    stack("_NET_CLIENT_LIST_STACKING", {top, bottom});
    EXPECT_EQ(listed(), (Names{"Bottom", "Top"})) << "the stacking list, reversed";

    xcb_window_t gone = desktop->createWindow({.wmClass = "Gone"});
    xcb_window_t hidden = desktop->createWindow({.wmClass = "Hidden"});
    desktop->setList(hidden, "_NET_WM_STATE", XCB_ATOM_ATOM,
                     {desktop->atom("_NET_WM_STATE_HIDDEN")});
    constexpr xcb_window_t kNeverExisted = 0x7ffffff0;
    stack("_NET_CLIENT_LIST_STACKING", {kNeverExisted, top, hidden, gone});
    desktop->destroy(gone);
    EXPECT_EQ(listed(), (Names{"Top"})) << "without hidden windows and those that vanished";
}

// A switch asks only for the front-most window it wants: the one the whole
// list would give, however far down it is.
TEST_F(BareWindowListTest, TheFrontMostWindowWantedIsTheWholeListsFirstOfIt) {
    std::vector<xcb_window_t> stacked;
    for (int i = 0; i < 60; ++i) {
        const std::string name = i == 5 ? "Deep" : "App" + std::to_string(i % 3);
        stacked.push_back(desktop->createWindow({.wmClass = name, .netWmName = std::to_string(i)}));
    }
    stack("_NET_CLIENT_LIST_STACKING", stacked);
    const std::vector<WindowInfo> all = session->windowList().onScreenWindows();
    for (const std::string name : {"App2", "App0", "Deep", "Nobody"}) {
        auto wanted = [&](const WindowInfo& window) { return window.ownerName == name; };
        const auto first = std::find_if(all.begin(), all.end(), wanted);
        const std::optional<WindowInfo> found = session->windowList().frontMostWindow(wanted);
        ASSERT_EQ(found.has_value(), first != all.end()) << name;
        EXPECT_TRUE(!found || found->title == first->title) << name;
    }
}

}  // namespace
}  // namespace tesuko
