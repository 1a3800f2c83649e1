#pragma once

#include <QMenu>
#include <QString>
#include <QSystemTrayIcon>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/status_menu.h"
#include "platform/system_log.h"

class QAction;

namespace tesuko {

// The tray icon and its menu: recording, pausing and forgetting; the log's
// place and the preferences; the five ranking rows and Show Report…; Quit. The icon comes from the
// Qt resources under ":/tesuko/"; the tray is whatever the desktop offers
// (a StatusNotifierItem host or an XEmbed tray).
class QtStatusMenu : public StatusMenu {
  public:
    explicit QtStatusMenu(SystemLog& systemLog);
    QtStatusMenu(const QtStatusMenu&) = delete;
    QtStatusMenu& operator=(const QtStatusMenu&) = delete;

    void showIcon(const std::string& imageName) override;
    std::optional<MenuCommand> action(MenuItem item) override;
    void setAction(MenuItem item, std::optional<MenuCommand> command) override;
    void setState(MenuItem item, bool on) override;
    void setTitle(MenuItem item, const std::string& title) override;
    void setToolTip(const std::string& text) override;
    void showTrayState(TrayState state) override;
    void onCommand(CommandHandler handler) override { commandHandler_ = std::move(handler); }
    void onMenuWillOpen(OpenHandler handler) override { openHandler_ = std::move(handler); }

    // Called when the user chooses Quit tesuko.
    void onQuit(std::function<void()> handler) { quitHandler_ = std::move(handler); }

    QMenu& menu() { return menu_; }
    QSystemTrayIcon& trayIcon() { return trayIcon_; }

  private:
    struct Item {
        QAction* action = nullptr;  // owned by the menu
        std::optional<MenuCommand> command;
        bool on = false;
    };

    void addCommandItem(MenuItem item, const QString& text, MenuCommand command, bool checkable);
    void addRankRow(MenuItem row);
    void choose(MenuItem item);
    void openFromIcon(QSystemTrayIcon::ActivationReason reason);

    SystemLog& systemLog_;
    QMenu menu_;
    QSystemTrayIcon trayIcon_;
    std::map<MenuItem, Item> items_;
    CommandHandler commandHandler_;
    OpenHandler openHandler_;
    std::function<void()> quitHandler_;
};

}  // namespace tesuko
