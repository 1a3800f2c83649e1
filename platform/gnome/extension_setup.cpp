// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gnome/extension_setup.h"

#include <QProcess>
#include <QStringList>

#include "platform/gnome/extension_files.h"

namespace tesuko {

namespace {

constexpr int kToolTimeoutMs = 5000;

const std::string kTurnedOff =
    "GNOME Shell's extensions are turned off: turn them on in the Extensions app for tesuko to "
    "see the windows";

// Lists the extension in the user's enabled-extensions setting, which the
// Shell reads when it loads extensions. The Shell's own EnableExtension
// refuses an extension it has not loaded; its command-line tool writes the
// setting (through dconf) all the same.
void enableAtNextLogin(SystemLog& systemLog) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.start(QStringLiteral("gnome-extensions"), {QStringLiteral("enable"), kExtensionUuid});
    const bool done = tool.waitForFinished(kToolTimeoutMs);
    if (!done || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        tool.kill();
        tool.waitForFinished();
        // Started again after the login, tesuko enables it through the Shell.
        systemLog.warning(
            "gnome-extensions could not enable tesuko's extension for the next login");
    }
}

// The Shell refuses an extension whose metadata does not list its version.
// The user may tell it to try anyway: the form has run unchanged on every
// Shell since 45.
std::string untestedShell(int newestListed, int running) {
    return "tesuko's extension is tested with GNOME Shell up to " + std::to_string(newestListed) +
           ", not yet " + std::to_string(running) +
           ". To try it anyway, run: gsettings set org.gnome.shell "
           "disable-extension-version-validation true, then log out and back in";
}

// Puts the form made for the running Shell in the user's folder, which the
// Shell reads before the system's.
std::optional<std::string> install(const GnomeShell& shell, const ExtensionInfo& info,
                                   SystemLog& systemLog) {
    const std::optional<int> version = shell.majorVersion();
    if (!version) {
        return "GNOME Shell does not tell its version: tesuko cannot pick its extension";
    }
    if (*version < kOldestShell) {
        return "tesuko needs GNOME Shell " + std::to_string(kOldestShell) +
               " or later to see the windows";
    }
    const std::optional<std::filesystem::path> shipped = shippedExtension(*version);
    if (!shipped) {
        return "tesuko's GNOME Shell extension is missing from its installation "
               "(share/tesuko/gnome-shell-extension)";
    }
    const std::optional<std::filesystem::path> folder = userExtensionFolder();
    if (!folder) {
        return "tesuko cannot install its GNOME Shell extension: there is no home folder";
    }
    const CopiedExtension copied = copyExtension(*shipped, *folder);
    if (!copied.error.empty()) {
        return "tesuko cannot install its GNOME Shell extension: " + copied.error;
    }
    if (copied.changed) {
        systemLog.info("Installed tesuko's GNOME Shell extension in " + folder->string());
    } else if (info.state == ExtensionState::error) {
        return "tesuko's GNOME Shell extension failed: " + info.error;
    }
    enableAtNextLogin(systemLog);
    const std::optional<int> newest = newestListedShell(*shipped);
    if (newest && *version > *newest) {
        return untestedShell(*newest, *version);
    }
    if (!shell.userExtensionsEnabled()) {
        return "Turn on extensions in GNOME's Extensions app, then log out and back in once "
               "for tesuko to see the windows: GNOME Shell loads its extension only at login";
    }
    return "Log out and back in once for tesuko to see the windows: GNOME Shell loads its "
           "extension only at login";
}

// A newer tesuko may ship a newer extension: the Shell runs it from the next login on.
void keepCopyCurrent(const GnomeShell& shell, SystemLog& systemLog) {
    const std::optional<int> version = shell.majorVersion();
    const std::optional<std::filesystem::path> shipped =
        version ? shippedExtension(*version) : std::nullopt;
    const std::optional<std::filesystem::path> folder = userExtensionFolder();
    if (shipped && folder && copyExtension(*shipped, *folder).changed) {
        systemLog.info("Updated tesuko's GNOME Shell extension for the next login");
    }
}

}  // namespace

std::optional<std::string> setUpExtension(const GnomeShell& shell, SystemLog& systemLog) {
    const std::optional<ExtensionInfo> info = shell.extensionInfo(kExtensionUuid);
    if (!info) {
        systemLog.warning("GNOME Shell does not tell whether tesuko's extension runs");
        return std::nullopt;
    }
    switch (info->state) {
        case ExtensionState::enabled:
        case ExtensionState::enabling:
            if (info->perUser) {
                keepCopyCurrent(shell, systemLog);
            }
            return std::nullopt;
        case ExtensionState::disabled:
        case ExtensionState::initialized:
        case ExtensionState::disabling:
            if (!shell.userExtensionsEnabled()) {
                return kTurnedOff;
            }
            if (!shell.enableExtension(kExtensionUuid)) {
                return "Turn on tesuko's extension in GNOME's Extensions app for tesuko to see "
                       "the windows";
            }
            systemLog.info("Enabled tesuko's GNOME Shell extension");
            return std::nullopt;
        default:
            return install(shell, *info, systemLog);
    }
}

}  // namespace tesuko
