#include "platform/qt/qt_status_menu.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QIcon>

namespace tesuko {

namespace {

// Shown by a ranking row until the first refresh gives it an application.
const QString kEmptyRow = QStringLiteral("—");

// "&" would otherwise mark the next letter as the item's shortcut.
QString literalText(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

QtStatusMenu::QtStatusMenu(SystemLog& systemLog) : systemLog_(systemLog) {
    addCommandItem(MenuItem::StartRecord, QStringLiteral("Start Recording"),
                   MenuCommand::StartRecord, true);
    addCommandItem(MenuItem::StopRecord, QStringLiteral("Stop Recording"), MenuCommand::StopRecord,
                   false);
    addCommandItem(MenuItem::PauseFor15Minutes, QStringLiteral("Pause for 15 Minutes"),
                   MenuCommand::PauseFor15Minutes, false);
    addCommandItem(MenuItem::PauseFor1Hour, QStringLiteral("Pause for 1 Hour"),
                   MenuCommand::PauseFor1Hour, false);
    addCommandItem(MenuItem::PauseUntilTomorrow, QStringLiteral("Pause Until Tomorrow"),
                   MenuCommand::PauseUntilTomorrow, false);
    addCommandItem(MenuItem::ForgetLast15Minutes, QStringLiteral("Forget the Last 15 Minutes"),
                   MenuCommand::ForgetLast15Minutes, false);
    menu_.addSeparator();
    addCommandItem(MenuItem::SaveAs, QStringLiteral("Save Log As…"), MenuCommand::SaveAs, false);
    addCommandItem(MenuItem::OpenAtLogin, QStringLiteral("Open at Login"), MenuCommand::OpenAtLogin,
                   true);
    addCommandItem(MenuItem::PauseWhenIdle, QStringLiteral("Pause When Idle"),
                   MenuCommand::PauseWhenIdle, true);
    addCommandItem(MenuItem::Privacy, QStringLiteral("Privacy…"), MenuCommand::Privacy, false);
    menu_.addSeparator();
    for (MenuItem row :
         {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3, MenuItem::Rank4, MenuItem::Rank5}) {
        addRankRow(row);
    }
    addCommandItem(MenuItem::ShowReport, QStringLiteral("Show Report…"), MenuCommand::ShowReport,
                   false);
    menu_.addSeparator();
    QAction* quit = menu_.addAction(QStringLiteral("Quit tesuko"));
    QObject::connect(quit, &QAction::triggered, &menu_, [this] {
        if (quitHandler_) {
            quitHandler_();
        }
    });

    QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] {
        if (openHandler_) {
            openHandler_();
        }
    });
    trayIcon_.setContextMenu(&menu_);
    trayIcon_.setToolTip(QStringLiteral("tesuko"));
    QObject::connect(&trayIcon_, &QSystemTrayIcon::activated, &menu_,
                     [this](QSystemTrayIcon::ActivationReason reason) { openFromIcon(reason); });
}

void QtStatusMenu::addCommandItem(MenuItem item, const QString& text, MenuCommand command,
                                  bool checkable) {
    QAction* action = menu_.addAction(text);
    action->setCheckable(checkable);
    QObject::connect(action, &QAction::triggered, &menu_, [this, item] { choose(item); });
    items_[item] = Item{action, command, false};
}

void QtStatusMenu::addRankRow(MenuItem row) {
    QAction* action = menu_.addAction(kEmptyRow);
    action->setEnabled(false);  // a row shows a total; choosing it does nothing
    items_[row] = Item{action, std::nullopt, false};
}

void QtStatusMenu::choose(MenuItem item) {
    Item& chosen = items_.at(item);
    // Qt flips a checkable item when it is chosen; the check mark shows the
    // controller's state instead, which the command may change.
    chosen.action->setChecked(chosen.on);
    if (chosen.command && commandHandler_) {
        commandHandler_(*chosen.command);
    }
}

void QtStatusMenu::openFromIcon(QSystemTrayIcon::ActivationReason reason) {
    // A right click opens the menu by itself; a left click opens it too, as
    // a tray icon with a drop-down menu is expected to.
    if (reason == QSystemTrayIcon::Trigger && !menu_.isVisible()) {
        menu_.popup(QCursor::pos());
    }
}

void QtStatusMenu::showIcon(const std::string& imageName) {
    const QString path = QStringLiteral(":/tesuko/") + QString::fromStdString(imageName);
    if (QFile::exists(path)) {
        trayIcon_.setIcon(QIcon(path));
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        systemLog_.warning(
            "No system tray is available: tesuko goes on recording and shows its icon as soon "
            "as a tray appears.");
    }
    trayIcon_.show();
}

std::optional<MenuCommand> QtStatusMenu::action(MenuItem item) {
    auto found = items_.find(item);
    return found == items_.end() ? std::nullopt : found->second.command;
}

void QtStatusMenu::setAction(MenuItem item, std::optional<MenuCommand> command) {
    if (auto found = items_.find(item); found != items_.end()) {
        found->second.command = command;
        found->second.action->setEnabled(command.has_value());
    }
}

void QtStatusMenu::setState(MenuItem item, bool on) {
    if (auto found = items_.find(item); found != items_.end()) {
        found->second.on = on;
        found->second.action->setCheckable(true);
        found->second.action->setChecked(on);
    }
}

void QtStatusMenu::setToolTip(const std::string& text) {
    trayIcon_.setToolTip(QStringLiteral("tesuko: ") + QString::fromStdString(text));
}

void QtStatusMenu::showTrayState(TrayState /*state*/) {}

void QtStatusMenu::setTitle(MenuItem item, const std::string& title) {
    if (auto found = items_.find(item); found != items_.end()) {
        found->second.action->setText(literalText(title));
    }
}

}  // namespace tesuko
