// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_status_menu.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QWidgetAction>

#include "platform/qt/qt_rank_row.h"
#include "platform/qt/qt_tool_tip.h"
#include "platform/qt/qt_tray_icons.h"

namespace tesuko {

namespace {

// Shown by a ranking row until the first refresh gives it an application.
const QString kEmptyRow = QStringLiteral("—");

// "&" would otherwise mark the next letter as the item's shortcut.
QString literalText(const QString& text) {
    return QString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace

QtStatusMenu::QtStatusMenu(SystemLog& systemLog) : systemLog_(systemLog) {
    addCommandItem(MenuItem::StartRecord, tr("Start Recording"), MenuCommand::StartRecord, true);
    addCommandItem(MenuItem::StopRecord, tr("Stop Recording"), MenuCommand::StopRecord, false);
    addCommandItem(MenuItem::PauseFor15Minutes, tr("Pause for 15 Minutes"),
                   MenuCommand::PauseFor15Minutes, false);
    addCommandItem(MenuItem::PauseFor1Hour, tr("Pause for 1 Hour"), MenuCommand::PauseFor1Hour,
                   false);
    addCommandItem(MenuItem::PauseUntilTomorrow, tr("Pause Until Tomorrow"),
                   MenuCommand::PauseUntilTomorrow, false);
    addCommandItem(MenuItem::ForgetLast15Minutes, tr("Forget the Last 15 Minutes"),
                   MenuCommand::ForgetLast15Minutes, false);
    menu_.addSeparator();
    addCommandItem(MenuItem::SaveAs, tr("Save Log As…"), MenuCommand::SaveAs, false);
    addCommandItem(MenuItem::ShareWithOtherMachines, tr("Share with Other Machines…"),
                   MenuCommand::ShareWithOtherMachines, true);
    addCommandItem(MenuItem::OpenAtLogin, tr("Open at Login"), MenuCommand::OpenAtLogin, true);
    addCommandItem(MenuItem::PauseWhenIdle, tr("Pause When Idle"), MenuCommand::PauseWhenIdle,
                   true);
    addCommandItem(MenuItem::Privacy, tr("Privacy…"), MenuCommand::Privacy, false);
    menu_.addSeparator();
    for (MenuItem row :
         {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3, MenuItem::Rank4, MenuItem::Rank5}) {
        addRankRow(row);
    }
    addCommandItem(MenuItem::ShowReport, tr("Show Report…"), MenuCommand::ShowReport, false);
    menu_.addSeparator();
    QAction* quit = menu_.addAction(tr("Quit tesuko"));
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
    items_[item] = Item{action, command, false, nullptr};
}

// The action keeps the row's whole text, which a StatusNotifierItem host
// shows as it is; a menu Qt draws itself shows the row's own drawing.
void QtStatusMenu::addRankRow(MenuItem row) {
    auto* action = new QWidgetAction(&menu_);  // owned by the menu
    auto* drawing = new QtRankRow(menu_);      // owned by the action
    drawing->setColumns(kEmptyRow, {});
    action->setDefaultWidget(drawing);
    action->setText(kEmptyRow);
    menu_.addAction(action);
    items_[row] = Item{action, std::nullopt, false, drawing};
}

QtRankRow* QtStatusMenu::rankRow(MenuItem row) {
    auto found = items_.find(row);
    return found == items_.end() ? nullptr : found->second.row;
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
            "as a tray appears. `tesuko --quit` ends it.");
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

void QtStatusMenu::showLogPath(const std::string& path) {
    logPath_ = path;
    showToolTip();
}

void QtStatusMenu::showStatus(const Status& status) {
    status_ = status;
    showToolTip();
}

void QtStatusMenu::showToolTip() {
    if (!status_) {
        return;
    }
    trayIcon_.setToolTip(toolTipText(*status_, logPath_));
}

void QtStatusMenu::showTrayState(TrayState state) {
    trayIcon_.setIcon(stateIcon(state));
}

void QtStatusMenu::setTitle(MenuItem item, const std::string& title) {
    auto found = items_.find(item);
    if (found == items_.end()) {
        return;
    }
    const QString text = QString::fromStdString(title);
    found->second.action->setText(literalText(text));
    if (QtRankRow* row = found->second.row) {
        const RankColumns columns = rankColumns(text);
        row->setColumns(literalText(columns.name), columns.total);
    }
}

}  // namespace tesuko
