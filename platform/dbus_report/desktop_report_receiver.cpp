// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dbus_report/desktop_report_receiver.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <limits>
#include <utility>

#include "platform/dbus/tesuko_bus_names.h"

namespace tesuko {

namespace {

// Warnings about strangers' calls stop here: a caller on a loop must not fill
// the system log.
constexpr qsizetype kMostStrangersWarned = 16;
// A call held up longer than this says more about the wall clock than the call.
constexpr std::chrono::seconds kLongestDelay{60};

QString ownerOf(const QDBusConnection& bus, const QString& name) {
    QDBusConnectionInterface* daemon = bus.interface();
    if (daemon == nullptr) {
        return {};
    }
    // Asks the bus itself, which never starts a program for a name.
    QDBusReply<QString> owner = daemon->serviceOwner(name);
    return owner.isValid() ? owner.value() : QString();
}

// The compositor's stamp on our steady clock, through the wall clock both
// sides read; the time of arrival when there is none, or when the wall clock
// jumped in between.
std::chrono::steady_clock::time_point happenedAt(std::optional<double> stampMs) {
    const auto arrived = std::chrono::steady_clock::now();
    if (!stampMs) {
        return arrived;
    }
    const std::chrono::duration<double, std::milli> sinceEpoch(*stampMs);
    const auto delay = std::chrono::system_clock::now().time_since_epoch() - sinceEpoch;
    if (delay < delay.zero() || delay > kLongestDelay) {
        return arrived;
    }
    return arrived - std::chrono::duration_cast<std::chrono::steady_clock::duration>(delay);
}

}  // namespace

DesktopReportReceiver::DesktopReportReceiver(QDBusConnection bus, const QString& compositorName,
                                             SystemLog& systemLog, Handlers handlers)
    : bus_(std::move(bus)),
      compositorName_(compositorName),
      systemLog_(systemLog),
      handlers_(std::move(handlers)),
      ownerWatch_(compositorName, bus_, QDBusServiceWatcher::WatchForOwnerChange),
      busLoss_(bus_, [this] { handlers_.gone("the session bus dropped the connection"); }),
      owner_(ownerOf(bus_, compositorName)) {
    connect(&ownerWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &DesktopReportReceiver::onOwnerChanged);
}

DesktopReportReceiver::~DesktopReportReceiver() {
    // The name stays with the connection: the program may answer under it
    // too, and the bus frees it when the connection closes.
    if (exported_) {
        bus_.unregisterObject(bus::desktopPath);
    }
}

std::optional<std::string> DesktopReportReceiver::listen() {
    if (!bus_.isConnected()) {
        return "there is no session bus";
    }
    exported_ = bus_.registerObject(bus::desktopPath, bus::desktopInterface, this,
                                    QDBusConnection::ExportScriptableSlots);
    if (!exported_) {
        return "could not offer " + bus::desktopPath.toStdString() + " on the session bus";
    }
    // Owning it already, for the program's own object, is fine.
    if (!bus_.registerService(bus::service)) {
        return "another program owns " + bus::service.toStdString() +
               " on the session bus (is tesuko running already?)";
    }
    return std::nullopt;
}

void DesktopReportReceiver::ActiveWindowChanged(const QString& appId, const QString& title,
                                                uint pid) {
    take(appId, title, pid, std::nullopt);
}

void DesktopReportReceiver::ActiveWindowChanged(const QString& appId, const QString& title,
                                                int pid) {
    take(appId, title, pid, std::nullopt);
}

void DesktopReportReceiver::ActiveWindowChanged(const QString& appId, const QString& title,
                                                uint pid, double stampMs) {
    take(appId, title, pid, stampMs);
}

void DesktopReportReceiver::ActiveWindowChanged(const QString& appId, const QString& title, int pid,
                                                double stampMs) {
    take(appId, title, pid, stampMs);
}

void DesktopReportReceiver::take(const QString& appId, const QString& title, std::int64_t pid,
                                 std::optional<double> stampMs) {
    if (!fromCompositor()) {
        return;
    }
    DesktopReport report{std::nullopt, title.toStdString(), std::nullopt, happenedAt(stampMs)};
    if (!appId.isEmpty()) {
        report.application = appId.toStdString();
    }
    if (pid > 0 && pid <= std::numeric_limits<std::uint32_t>::max()) {
        report.pid = static_cast<std::uint32_t>(pid);
    }
    reported_ = true;
    handlers_.report(report);
}

// Anyone on the session bus may call us; only the compositor knows the
// active window.
bool DesktopReportReceiver::fromCompositor() {
    const QString sender = message().service();
    if (!owner_.isEmpty() && sender == owner_) {
        return true;
    }
    sendErrorReply(QDBusError::AccessDenied,
                   QStringLiteral("Only %1 reports the active window").arg(compositorName_));
    if (!warnedStrangers_.contains(sender) && warnedStrangers_.size() < kMostStrangersWarned) {
        warnedStrangers_.insert(sender);
        systemLog_.warning("Refused a report of the active window from " + sender.toStdString() +
                           ", which is not " + compositorName_.toStdString());
    }
    return false;
}

void DesktopReportReceiver::onOwnerChanged(const QString&, const QString& oldOwner,
                                           const QString& newOwner) {
    if (owner_.isEmpty() || oldOwner != owner_) {
        owner_ = newOwner;  // the compositor came after us
        return;
    }
    // A new owner runs no script of ours: it would never report.
    owner_.clear();
    handlers_.gone(compositorName_.toStdString() + " left the session bus");
}

}  // namespace tesuko
