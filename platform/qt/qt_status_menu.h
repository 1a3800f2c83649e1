// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
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

class QtRankRow;

// The tray icon and its menu: recording, pausing and forgetting; the log's
// place and the preferences; the five ranking rows and Show Report…; Quit.
// The icon shows whether tesuko records, is paused or stopped; the tooltip
// says so in words, with the log's path. Texts are in the user's language
// once QtTranslations is installed. The tray is whatever the desktop offers
// (a StatusNotifierItem host or an XEmbed tray).
class QtStatusMenu : public StatusMenu {
    Q_DECLARE_TR_FUNCTIONS(QtStatusMenu)

  public:
    explicit QtStatusMenu(SystemLog& systemLog);
    QtStatusMenu(const QtStatusMenu&) = delete;
    QtStatusMenu& operator=(const QtStatusMenu&) = delete;

    void showIcon(const std::string& imageName) override;
    std::optional<MenuCommand> action(MenuItem item) override;
    void setAction(MenuItem item, std::optional<MenuCommand> command) override;
    void setState(MenuItem item, bool on) override;
    void setTitle(MenuItem item, const std::string& title) override;
    void showStatus(const Status& status) override;
    void showLogPath(const std::string& path) override;
    void showTrayState(TrayState state) override;
    void onCommand(CommandHandler handler) override { commandHandler_ = std::move(handler); }
    void onMenuWillOpen(OpenHandler handler) override { openHandler_ = std::move(handler); }

    // Called when the user chooses Quit tesuko.
    void onQuit(std::function<void()> handler) { quitHandler_ = std::move(handler); }

    QMenu& menu() { return menu_; }
    QSystemTrayIcon& trayIcon() { return trayIcon_; }
    // The ranking row's drawing, for tests; null for other items.
    QtRankRow* rankRow(MenuItem row);

  private:
    struct Item {
        QAction* action = nullptr;  // owned by the menu
        std::optional<MenuCommand> command;
        bool on = false;
        QtRankRow* row = nullptr;  // owned by the action; ranking rows only
    };

    void addCommandItem(MenuItem item, const QString& text, MenuCommand command, bool checkable);
    void addRankRow(MenuItem row);
    void choose(MenuItem item);
    void openFromIcon(QSystemTrayIcon::ActivationReason reason);
    void showToolTip();

    SystemLog& systemLog_;
    QMenu menu_;
    QSystemTrayIcon trayIcon_;
    std::map<MenuItem, Item> items_;
    CommandHandler commandHandler_;
    OpenHandler openHandler_;
    std::function<void()> quitHandler_;
    std::optional<std::string> logPath_;
    std::optional<Status> status_;
};

}  // namespace tesuko
