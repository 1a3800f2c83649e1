// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>
#include <string>
#include <utility>

namespace tesuko {

// GNOME Shell's own name on the session bus.
inline const QString kGnomeShellService = QStringLiteral("org.gnome.Shell");
// tesuko's Shell extension, as the Shell knows it.
inline const QString kExtensionUuid = QStringLiteral("tesuko@tesuko.github.io");

// An extension's state, as org.gnome.Shell.Extensions numbers it.
enum class ExtensionState {
    enabled = 1,
    disabled = 2,
    error = 3,
    outOfDate = 4,  // made for other Shell versions
    downloading = 5,
    initialized = 6,  // loaded and never enabled
    disabling = 7,
    enabling = 8,
    uninstalled = 99,  // also: not found when the Shell started
};

struct ExtensionInfo {
    ExtensionState state;
    bool perUser;       // in the user's folder, not the system's
    std::string error;  // what went wrong, in the Shell's words
};

// What tesuko asks the running Shell about its extension. The calls wait for
// the answer, briefly: they are made once, while the program starts.
class GnomeShell {
  public:
    explicit GnomeShell(QDBusConnection bus) : bus_(std::move(bus)) {}

    // Whether the Shell owns its name on this bus.
    bool running() const;
    // The Shell's major version (43 for "43.9"), if it tells.
    std::optional<int> majorVersion() const;
    // Whether the user lets extensions of their own run at all.
    bool userExtensionsEnabled() const;
    // None when the Shell does not answer.
    std::optional<ExtensionInfo> extensionInfo(const QString& uuid) const;
    // Enables an extension the Shell has loaded; whether it knew it.
    bool enableExtension(const QString& uuid) const;

  private:
    QVariant property(const QString& interface, const QString& name) const;

    QDBusConnection bus_;
};

}  // namespace tesuko
