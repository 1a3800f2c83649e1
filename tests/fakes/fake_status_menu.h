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

    // Items as the menu resource gives them: each command item sends its own command.
    FakeStatusMenu() {
        items[MenuItem::StartRecord] = {MenuCommand::StartRecord, false, "Start Recording"};
        items[MenuItem::StopRecord] = {MenuCommand::StopRecord, false, "Stop Recording"};
        items[MenuItem::PauseFor15Minutes] = {MenuCommand::PauseFor15Minutes, false,
                                              "Pause for 15 Minutes"};
        items[MenuItem::PauseFor1Hour] = {MenuCommand::PauseFor1Hour, false, "Pause for 1 Hour"};
        items[MenuItem::PauseUntilTomorrow] = {MenuCommand::PauseUntilTomorrow, false,
                                               "Pause Until Tomorrow"};
        items[MenuItem::ForgetLast15Minutes] = {MenuCommand::ForgetLast15Minutes, false,
                                                "Forget the Last 15 Minutes"};
        items[MenuItem::SaveAs] = {MenuCommand::SaveAs, false, "Save Log As…"};
        items[MenuItem::OpenAtLogin] = {MenuCommand::OpenAtLogin, false, "Open at Login"};
        items[MenuItem::PauseWhenIdle] = {MenuCommand::PauseWhenIdle, false, "Pause When Idle"};
        items[MenuItem::Privacy] = {MenuCommand::Privacy, false, "Privacy…"};
        items[MenuItem::ShowReport] = {MenuCommand::ShowReport, false, "Show Report…"};
        for (MenuItem row : {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3, MenuItem::Rank4,
                             MenuItem::Rank5}) {
            items[row] = {std::nullopt, false, "—"};
        }
    }

    void showIcon(const std::string& imageName) override { icon = imageName; }
    std::optional<MenuCommand> action(MenuItem item) override { return at(item).action; }
    void setAction(MenuItem item, std::optional<MenuCommand> command) override {
        at(item).action = command;
    }
    void setState(MenuItem item, bool on) override { at(item).on = on; }
    void setTitle(MenuItem item, const std::string& title) override { at(item).title = title; }
    void setToolTip(const std::string& text) override { toolTip = text; }
    void showTrayState(TrayState state) override { trayState = state; }
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
    std::optional<std::string> icon;
    std::string toolTip;
    std::optional<TrayState> trayState;

  private:
    Item& at(MenuItem item) { return items.at(item); }

    CommandHandler commandHandler_;
    OpenHandler openHandler_;
};

}  // namespace tesuko
