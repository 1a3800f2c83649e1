// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus_report/reported_desktop.h"

#include <QEventLoop>
#include <QTimer>
#include <utility>

namespace tesuko {

ReportedDesktop::Started ReportedDesktop::start(QDBusConnection bus, const QString& compositorName,
                                                SystemLog& systemLog,
                                                std::chrono::milliseconds noneHeldFor) {
    auto desktop =
        std::make_unique<ReportedDesktop>(std::move(bus), compositorName, systemLog, noneHeldFor);
    if (desktop->listenError_) {
        return {nullptr, *desktop->listenError_};
    }
    return {std::move(desktop), ""};
}

ReportedDesktop::ReportedDesktop(QDBusConnection bus, const QString& compositorName,
                                 SystemLog& systemLog, std::chrono::milliseconds noneHeldFor)
    : systemLog_(systemLog),
      workspace_(windowList_, noneHeldFor),
      receiver_(std::move(bus), compositorName, systemLog,
                {[this](const DesktopReport& report) { takeReport(report); },
                 [this](const std::string& why) { lose(why); }}),
      listenError_(receiver_.listen()) {}

bool ReportedDesktop::waitForFirstReport(std::chrono::milliseconds timeout) {
    if (reported() || connectionLost_) {
        return reported();
    }
    QEventLoop loop;
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    wake_ = [&loop] { loop.quit(); };
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    wake_ = nullptr;
    return reported();
}

void ReportedDesktop::onConnectionLost(ConnectionLostHandler handler) {
    lostHandler_ = std::move(handler);
}

void ReportedDesktop::takeReport(const DesktopReport& report) {
    if (connectionLost_) {
        return;
    }
    workspace_.take(report);
    if (wake_) {
        wake_();
    }
}

void ReportedDesktop::lose(const std::string& why) {
    if (connectionLost_) {
        return;
    }
    connectionLost_ = true;
    systemLog_.info("The desktop went away: " + why);
    workspace_.dropHeld();
    if (wake_) {
        wake_();
    }
    if (lostHandler_) {
        lostHandler_();
    }
}

}  // namespace tesuko
