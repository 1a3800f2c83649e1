// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <optional>
#include <string>

namespace tesuko {

// The running tray program on the session bus, where a second launch of the
// same user finds it: ShowReport() opens its report window, as the menu's
// Show Report… does.
class RunningProgram : public QObject {
    Q_OBJECT

  public:
    explicit RunningProgram(std::function<void()> showReport);

    // Exports the object on bus::programPath and owns bus::service. Why not,
    // when the bus is there but refused; nothing without a bus.
    std::optional<std::string> offer(QDBusConnection bus);

  public Q_SLOTS:
    Q_SCRIPTABLE void ShowReport();

  private:
    std::function<void()> showReport_;
};

// Asks the program under bus::service to show its report window; whether it
// said it did. Waits a few seconds at most for a busy one.
bool askToShowReport(const QDBusConnection& bus);

}  // namespace tesuko
