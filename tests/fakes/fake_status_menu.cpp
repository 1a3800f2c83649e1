#include "tests/fakes/fake_status_menu.h"

#include <stdexcept>

namespace tesuko {

FakeStatusMenu::FakeStatusMenu() {
    items[MenuItem::StartRecord] = {MenuCommand::StartRecord, false, "Start Recording"};
    items[MenuItem::StopRecord] = {MenuCommand::StopRecord, false, "Stop Recording"};
    items[MenuItem::SaveAs] = {MenuCommand::SaveAs, false, "Save Log As…"};
    items[MenuItem::OpenAtLogin] = {MenuCommand::OpenAtLogin, false, "Open at Login"};
    for (MenuItem row :
         {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3, MenuItem::Rank4, MenuItem::Rank5}) {
        items[row] = {std::nullopt, false, "—"};
    }
}

std::optional<MenuCommand> FakeStatusMenu::action(MenuItem item) {
    auto found = items.find(item);
    return found == items.end() ? std::nullopt : found->second.action;
}

void FakeStatusMenu::setAction(MenuItem item, std::optional<MenuCommand> command) {
    if (auto found = items.find(item); found != items.end()) {
        found->second.action = command;
    }
}

void FakeStatusMenu::setState(MenuItem item, bool on) {
    if (auto found = items.find(item); found != items.end()) {
        found->second.on = on;
    }
}

void FakeStatusMenu::setTitle(MenuItem item, const std::string& title) {
    if (failingTitle == item) {
        throw std::runtime_error("the menu item cannot be retitled");
    }
    if (auto found = items.find(item); found != items.end()) {
        found->second.title = title;
    }
}

void FakeStatusMenu::choose(MenuItem item) {
    auto command = action(item);
    if (command && commandHandler_) {
        commandHandler_(*command);
    }
}

void FakeStatusMenu::open() {
    if (openHandler_) {
        openHandler_();
    }
}

}  // namespace tesuko
