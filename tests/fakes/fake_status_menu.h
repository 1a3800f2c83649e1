#pragma once

#include <map>
#include <optional>
#include <set>
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
    FakeStatusMenu();

    void showIcon(const std::string& imageName) override { icon = imageName; }
    bool hasItem(MenuItem item) override { return items.contains(item); }
    std::optional<MenuCommand> action(MenuItem item) override;
    void setAction(MenuItem item, std::optional<MenuCommand> command) override;
    void setState(MenuItem item, bool on) override;
    void setTitle(MenuItem item, const std::string& title) override;
    void setToolTip(const std::string& text) override { toolTip = text; }
    void onCommand(CommandHandler handler) override { commandHandler_ = std::move(handler); }
    void onMenuWillOpen(OpenHandler handler) override { openHandler_ = std::move(handler); }

    // The user chooses an item: only an item with an action sends anything.
    void choose(MenuItem item);
    void open();
    bool enabled(MenuItem item) const { return items.at(item).action.has_value(); }

    std::map<MenuItem, Item> items;
    std::optional<std::string> icon;
    std::string toolTip;
    // Retitling this item throws, as a failing refresh would.
    std::optional<MenuItem> failingTitle;

  private:
    CommandHandler commandHandler_;
    OpenHandler openHandler_;
};

}  // namespace tesuko
