// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/dbus/bus_loss_watch.h"
#include "platform/dbus_report/desktop_report.h"
#include "platform/system_log.h"

namespace tesuko {

// The object the compositor's script or extension calls. It passes on the
// reports of the compositor alone, refusing everyone else's, and tells when
// the compositor leaves the bus or the bus drops us.
class DesktopReportReceiver : public QObject, protected QDBusContext {
    Q_OBJECT

  public:
    struct Handlers {
        std::function<void(const DesktopReport&)> report;
        std::function<void(const std::string& why)> gone;
    };

    DesktopReportReceiver(QDBusConnection bus, const QString& compositorName, SystemLog& systemLog,
                          Handlers handlers);
    ~DesktopReportReceiver() override;
    DesktopReportReceiver(const DesktopReportReceiver&) = delete;
    DesktopReportReceiver& operator=(const DesktopReportReceiver&) = delete;

    // Exports the object on bus::desktopPath and owns bus::service; why not.
    std::optional<std::string> listen();

    bool reported() const { return reported_; }

  public Q_SLOTS:
    Q_SCRIPTABLE void ActiveWindowChanged(const QString& appId, const QString& title, uint pid);
    // KWin's callDBus sends every JavaScript number as an int32 or a double.
    Q_SCRIPTABLE void ActiveWindowChanged(const QString& appId, const QString& title, int pid);
    // With the compositor's stamp, in milliseconds since the epoch: the time
    // of the change even when our main loop takes the call late.
    Q_SCRIPTABLE void ActiveWindowChanged(const QString& appId, const QString& title, uint pid,
                                          double stampMs);
    Q_SCRIPTABLE void ActiveWindowChanged(const QString& appId, const QString& title, int pid,
                                          double stampMs);

  private Q_SLOTS:
    void onOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

  private:
    bool fromCompositor();
    void take(const QString& appId, const QString& title, std::int64_t pid,
              std::optional<double> stampMs);

    QDBusConnection bus_;
    QString compositorName_;
    SystemLog& systemLog_;
    Handlers handlers_;
    QDBusServiceWatcher ownerWatch_;
    BusLossWatch busLoss_;
    QString owner_;  // the compositor's unique name; empty when it has none
    bool exported_ = false;
    bool reported_ = false;
    QSet<QString> warnedStrangers_;
};

}  // namespace tesuko
