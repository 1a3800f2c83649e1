// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gnome/gnome_shell.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariantMap>

#include "platform/dbus/dbus_call.h"

namespace tesuko {

namespace {

const QString kShellPath = QStringLiteral("/org/gnome/Shell");
const QString kShellInterface = QStringLiteral("org.gnome.Shell");
const QString kExtensionsInterface = QStringLiteral("org.gnome.Shell.Extensions");
// A Shell that has not answered in this time is busy or hung: better start
// without its answer than keep the user waiting.
constexpr int kReplyTimeoutMs = 2000;

QDBusMessage callShell(const QDBusConnection& bus, const QString& interface, const QString& method,
                       const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kGnomeShellService, kShellPath, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, kReplyTimeoutMs);
}

}  // namespace

bool GnomeShell::running() const {
    const QDBusConnectionInterface* daemon = bus_.interface();
    // Asking the bus, not the Shell: a call to a name with no owner may start it.
    return bus_.isConnected() && daemon != nullptr &&
           daemon->isServiceRegistered(kGnomeShellService).value();
}

QVariant GnomeShell::property(const QString& interface, const QString& name) const {
    const QDBusMessage reply = callShell(bus_, QStringLiteral("org.freedesktop.DBus.Properties"),
                                         QStringLiteral("Get"), {interface, name});
    return firstArgument(reply).value<QDBusVariant>().variant();
}

std::optional<int> GnomeShell::majorVersion() const {
    const QString version = property(kShellInterface, QStringLiteral("ShellVersion")).toString();
    bool number = false;
    const int major = version.section(QLatin1Char('.'), 0, 0).toInt(&number);
    return number ? std::optional(major) : std::nullopt;
}

bool GnomeShell::userExtensionsEnabled() const {
    const QVariant enabled =
        property(kExtensionsInterface, QStringLiteral("UserExtensionsEnabled"));
    return !enabled.isValid() || enabled.toBool();
}

std::optional<ExtensionInfo> GnomeShell::extensionInfo(const QString& uuid) const {
    const QDBusMessage reply =
        callShell(bus_, kExtensionsInterface, QStringLiteral("GetExtensionInfo"), {uuid});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    const auto info = qdbus_cast<QVariantMap>(firstArgument(reply));
    // The Shell's JavaScript sends every number as a double; an extension it
    // does not know comes as an empty map.
    constexpr int kPerUser = 2;
    return ExtensionInfo{
        static_cast<ExtensionState>(
            info.value(QStringLiteral("state"), int(ExtensionState::uninstalled)).toInt()),
        info.value(QStringLiteral("type")).toInt() == kPerUser,
        info.value(QStringLiteral("error")).toString().toStdString()};
}

bool GnomeShell::enableExtension(const QString& uuid) const {
    const QDBusMessage reply =
        callShell(bus_, kExtensionsInterface, QStringLiteral("EnableExtension"), {uuid});
    return firstArgument(reply).toBool();
}

}  // namespace tesuko
