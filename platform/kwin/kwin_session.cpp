// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/kwin/kwin_session.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <chrono>
#include <utility>

#include "platform/desktop/desktop_backends.h"
#include "platform/posix/runtime_folder.h"

namespace tesuko {

namespace {

// The script answers within milliseconds of being started.
constexpr std::chrono::milliseconds kFirstReportWait{2000};

QByteArray scriptText() {
    QFile script(QStringLiteral(":/tesuko/kwin/report_active_window.js"));
    return script.open(QIODevice::ReadOnly) ? script.readAll() : QByteArray();
}

}  // namespace

OpenedDesktopSession openKwinSession(SystemLog& systemLog, FileSystem& files) {
    return KwinSession::open(QDBusConnection::sessionBus(), systemLog, files);
}

OpenedDesktopSession KwinSession::open(QDBusConnection bus, SystemLog& systemLog,
                                       FileSystem& files) {
    QDBusConnectionInterface* daemon = bus.interface();
    if (!bus.isConnected() || daemon == nullptr) {
        return {nullptr, "there is no session bus"};
    }
    // Asking the bus, not KWin: a call to a name with no owner may start it.
    if (!daemon->isServiceRegistered(kKwinService)) {
        return {nullptr, "KWin is not on the session bus"};
    }
    std::optional<std::string> folder = runtimeFolder();
    if (!folder) {
        return {nullptr,
                "XDG_RUNTIME_DIR is not set to a full path: there is nowhere private to put "
                "KWin's script"};
    }
    ReportedDesktop::Started started = ReportedDesktop::start(bus, kKwinService, systemLog);
    if (!started.desktop) {
        return {nullptr, started.error};
    }
    QByteArray text = scriptText();
    WrittenPrivateFile written = PrivateFile::write(files, *folder, "tesuko-kwin", ".js",
                                                    {text.constData(), std::size_t(text.size())});
    if (!written.file) {
        return {nullptr, written.error};
    }
    KwinScript::Loaded loaded = KwinScript::load(bus, QString::fromStdString(written.file->path()));
    if (!loaded.script) {
        return {nullptr, loaded.error};
    }
    // Without it only idle time is missing.
    WaylandConnection::Opened wayland = WaylandConnection::connect();
    auto session =
        std::make_unique<KwinSession>(std::move(started.desktop), std::move(*written.file),
                                      std::move(loaded.script), std::move(wayland.connection));
    session->awaitFirstReport(systemLog);
    systemLog.info("Watching KWin through its script " + session->pluginName().toStdString() +
                   "; idle time from " +
                   (session->idleWatch_ ? session->idleWatch_->protocol() : wayland.error.c_str()));
    return {std::move(session), ""};
}

KwinSession::KwinSession(std::unique_ptr<ReportedDesktop> desktop, PrivateFile scriptFile,
                         std::unique_ptr<KwinScript> script,
                         std::unique_ptr<WaylandConnection> wayland)
    : desktop_(std::move(desktop)),
      wayland_(std::move(wayland)),
      scriptFile_(std::move(scriptFile)),
      script_(std::move(script)) {
    if (wayland_) {
        idleWatch_.emplace(*wayland_);
    }
}

std::optional<int> KwinSession::fd() const {
    return wayland_ ? std::optional(wayland_->fd()) : std::nullopt;
}

// Idle handlers run here; the switches come through the Qt main loop.
void KwinSession::processEvents() {
    if (!wayland_ || desktop_->connectionLost()) {
        return;
    }
    wayland_->dispatchAvailable();
    if (wayland_->broken()) {
        desktop_->lose("the Wayland connection broke");
    }
}

IdleWatch& KwinSession::idleWatch() {
    if (idleWatch_ && idleWatch_->available()) {
        return *idleWatch_;
    }
    return desktop_->idleWatch();
}

void KwinSession::awaitFirstReport(SystemLog& systemLog) {
    if (!desktop_->waitForFirstReport(kFirstReportWait)) {
        systemLog.warning("KWin has not run tesuko's script " +
                          script_->pluginName().toStdString() +
                          " yet: switches are recorded once it does");
        return;
    }
    scriptFile_.reset();
}

}  // namespace tesuko
