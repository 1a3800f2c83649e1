// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "app/app_delegate.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_status_menu.h"

namespace tesuko {

inline constexpr const char* kDelegateLog = "/home/user/Desktop/TESUKO/log.csv";

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

class AppDelegateTest : public ::testing::Test, protected DelegateOverFakes {};

}  // namespace tesuko
