// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/kwin/kwin_scripting.h"

#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <utility>

namespace tesuko {

namespace {

// KWin answers at once; a KWin that does not is stuck, and the next backend
// or the exit should not wait on it for long.
constexpr int kReplyTimeoutMs = 3000;

QDBusMessage callScripting(const QDBusConnection& bus, const QString& method,
                           const QVariantList& arguments = {}) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kKwinService, QStringLiteral("/Scripting"),
                                       QStringLiteral("org.kde.kwin.Scripting"), method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    return bus.call(call, QDBus::Block, kReplyTimeoutMs);
}

std::string failure(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage().toStdString()
                                                      : "no answer";
}

// Unique on this KWin: no two live processes share a pid, and one process
// may load several scripts over time (the tests do).
QString newPluginName() {
    static unsigned loaded = 0;
    return QStringLiteral("tesuko-%1-%2").arg(::getpid()).arg(++loaded);
}

}  // namespace

KwinScript::Loaded KwinScript::load(QDBusConnection bus, const QString& file) {
    QString name = newPluginName();
    QDBusMessage loaded = callScripting(bus, QStringLiteral("loadScript"), {file, name});
    if (loaded.type() != QDBusMessage::ReplyMessage || loaded.arguments().isEmpty()) {
        return {nullptr, "KWin did not load tesuko's script: " + failure(loaded)};
    }
    if (loaded.arguments().constFirst().toInt() < 0) {
        return {nullptr, "KWin refused to load tesuko's script " + file.toStdString()};
    }
    auto script = std::make_unique<KwinScript>(std::move(bus), std::move(name));
    // Starts every script loaded and not yet running: ours, at least.
    QDBusMessage started = callScripting(script->bus_, QStringLiteral("start"));
    if (started.type() != QDBusMessage::ReplyMessage) {
        return {nullptr, "KWin did not start tesuko's script: " + failure(started)};
    }
    return {std::move(script), ""};
}

KwinScript::KwinScript(QDBusConnection bus, QString pluginName)
    : bus_(std::move(bus)), pluginName_(std::move(pluginName)) {}

KwinScript::~KwinScript() {
    // A KWin that went away took the script with it; and a name with no owner
    // is never called.
    QDBusConnectionInterface* daemon = bus_.interface();
    if (!bus_.isConnected() || daemon == nullptr || !daemon->isServiceRegistered(kKwinService)) {
        return;
    }
    callScripting(bus_, QStringLiteral("unloadScript"), {pluginName_});
}

}  // namespace tesuko
