// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/status_menu.h"

namespace tesuko {

class FakeStatusMenu : public StatusMenu {
  public:
    struct Item {
        std::optional<MenuCommand> action;
        bool on = false;
        std::string title;
    };

    // Items as the menu resource gives them: each command item sends its own
    // command; the ranking rows send none and read "—" until retitled.
    FakeStatusMenu() {
        for (int i = 0; i <= int(MenuItem::Rank5); ++i) {
            const auto item = MenuItem(i);
            items[item] =
                item < MenuItem::Rank1 ? Item{item, false, ""} : Item{std::nullopt, false, "—"};
        }
    }

    void showIcon(const std::string&) override {}
    std::optional<MenuCommand> action(MenuItem item) override { return at(item).action; }
    void setAction(MenuItem item, std::optional<MenuCommand> command) override {
        at(item).action = command;
    }
    void setState(MenuItem item, bool on) override { at(item).on = on; }
    void setTitle(MenuItem item, const std::string& title) override { at(item).title = title; }
    void showStatus(const Status& shown) override { status = shown; }
    void showLogPath(const std::string& path) override { logPath = path; }
    void showTrayState(TrayState) override {}
    void onCommand(CommandHandler handler) override { commandHandler_ = std::move(handler); }
    void onMenuWillOpen(OpenHandler handler) override { openHandler_ = std::move(handler); }

    // The user chooses an item: only an item with an action sends anything.
    void choose(MenuItem item) {
        if (auto command = action(item); command && commandHandler_) {
            commandHandler_(*command);
        }
    }
    void open() {
        if (openHandler_) {
            openHandler_();
        }
    }

    std::map<MenuItem, Item> items;
    Status status;
    std::string logPath;

  private:
    Item& at(MenuItem item) { return items.at(item); }

    CommandHandler commandHandler_;
    OpenHandler openHandler_;
};

}  // namespace tesuko
