// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_session_events.h"
#include "fakes/fake_status_menu.h"

namespace tesuko {

inline constexpr const char* kDelegateLog = "/home/user/Desktop/TESUKO/log.csv";
inline const DesktopNotice kDelegateNotice{DesktopNotice::Kind::logInAgain, 0, 0, ""};

// What the user sees of a menu item: whether choosing it does anything, and its check mark.
struct ItemView {
    std::optional<MenuCommand> action;
    bool on = false;

    bool operator==(const ItemView&) const = default;
    friend void PrintTo(const ItemView& item, std::ostream* out) {
        *out << (item.action ? "command " + std::to_string(static_cast<int>(*item.action))
                             : std::string("disabled"))
             << (item.on ? ", on" : ", off");
    }
};

// A controller over fakes, its menu as the menu resource gives it.
struct DelegateOverFakes {
    void launch() { delegate.applicationDidFinishLaunching(); }
    void launchAsLoginItem() {
        fakes.loginItems.items.emplace_back(fakes.loginItems.bundle);
        launch();
    }
    ItemView view(MenuItem item) const {
        const FakeStatusMenu::Item& shown = menu.items.at(item);
        return {shown.action, shown.on};
    }
    std::string title(MenuItem row) const { return menu.items.at(row).title; }

    FakePlatform fakes;
    FakeStatusMenu menu;
    AppDelegate delegate{fakes.platform, menu, "en_US"};
};

// Plays space-separated events: launch, or login (launched as a login item);
// refuse: login items take no new entry; "+N" N seconds pass; E, B, F, S bring
// Editor, Browser, Firefox or Secret to the front; p15, p1h, ptm, start, stop,
// pwi, forget, save (Save Log As) and oal (Open at Login) choose menu items; ring ends a timed
// pause; lock, unlock, sleep, wake; "idle-N" the desktop tells of no input since N seconds ago,
// "back-N" of input N seconds ago; hideE saves Editor as untracked in the Privacy dialog; ro makes
// the log's folder read-only; uncounted: a desktop that counts no input and has a notice.
inline void play(DelegateOverFakes& c, FakeSessionEvents& session, const std::string& events) {
    using std::chrono::seconds;
    const std::map<std::string, const char*> apps = {
        {"E", "Editor"}, {"B", "Browser"}, {"F", "Firefox"}, {"S", "Secret"}};
    const std::map<std::string, MenuItem> items = {
        {"p15", MenuItem::PauseFor15Minutes},  {"p1h", MenuItem::PauseFor1Hour},
        {"ptm", MenuItem::PauseUntilTomorrow}, {"start", MenuItem::StartRecord},
        {"stop", MenuItem::StopRecord},        {"forget", MenuItem::ForgetLast15Minutes},
        {"pwi", MenuItem::PauseWhenIdle},      {"save", MenuItem::SaveAs},
        {"oal", MenuItem::OpenAtLogin}};
    std::istringstream in(events);
    for (std::string event; in >> event;) {
        auto ago = [&] {
            return c.fakes.clock.monotonicNow() - seconds(std::stoi(event.substr(5)));
        };
        if (event == "launch" || event == "login") {
            event == "launch" ? c.launch() : c.launchAsLoginItem();
        } else if (event == "refuse") {
            c.fakes.loginItems.failInsert = true;
        } else if (event[0] == '+') {
            c.fakes.clock.advance(seconds(std::stoi(event.substr(1))));
        } else if (apps.contains(event)) {
            c.fakes.workspace.switchTo(apps.at(event));
        } else if (items.contains(event)) {
            c.menu.choose(items.at(event));
        } else if (event == "ring") {
            c.fakes.alarm.ring();
        } else if (event == "lock" || event == "unlock") {
            session.lock(event == "lock");
        } else if (event == "sleep" || event == "wake") {
            session.sleep(event == "sleep");
        } else if (event.starts_with("idle-")) {
            c.fakes.idleWatch.idle(ago());
        } else if (event.starts_with("back-")) {
            c.fakes.idleWatch.active(ago());
        } else if (event == "hideE") {
            c.menu.choose(MenuItem::Privacy);
            c.fakes.privacyEditor.save({{}, {}, {"editor"}});
        } else if (event == "ro") {
            c.fakes.fileSystem.makeReadOnly("/home/user/Desktop/TESUKO");
        } else if (event == "uncounted") {
            c.fakes.inputMonitors.available_ = false;
            c.delegate.setDesktopNotice(kDelegateNotice);
        } else {
            ADD_FAILURE() << "no event " << event;
        }
    }
}

class AppDelegateTest : public ::testing::Test, protected DelegateOverFakes {};

}  // namespace tesuko
