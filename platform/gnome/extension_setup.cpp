// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gnome/extension_setup.h"

#include <QProcess>
#include <QStringList>
#include <utility>

#include "platform/gnome/extension_files.h"

namespace tesuko {

namespace {

constexpr int kToolTimeoutMs = 5000;

using Kind = DesktopNotice::Kind;

DesktopNotice notice(Kind kind, int shell = 0, int runningShell = 0, std::string detail = {}) {
    return {kind, shell, runningShell, std::move(detail)};
}

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

// Puts the form made for the running Shell in the user's folder, which the
// Shell reads before the system's.
std::optional<DesktopNotice> install(const GnomeShell& shell, const ExtensionInfo& info,
                                     SystemLog& systemLog, FileSystem& files) {
    const std::optional<int> version = shell.majorVersion();
    if (!version) {
        return notice(Kind::shellVersionUnknown);
    }
    if (*version < kOldestShell) {
        return notice(Kind::shellTooOld, kOldestShell);
    }
    const std::optional<std::filesystem::path> shipped = shippedExtension(*version);
    if (!shipped) {
        return notice(Kind::extensionNotShipped);
    }
    const std::optional<std::filesystem::path> folder = userExtensionFolder();
    if (!folder) {
        return notice(Kind::noHomeFolder);
    }
    const CopiedExtension copied = copyExtension(files, *shipped, *folder);
    if (!copied.error.empty()) {
        return notice(Kind::installFailed, 0, 0, copied.error);
    }
    if (copied.changed) {
        systemLog.info("Installed tesuko's GNOME Shell extension in " + folder->string());
    } else if (info.state == ExtensionState::error) {
        return notice(Kind::extensionFailed, 0, 0, info.error);
    }
    enableAtNextLogin(systemLog);
    const std::optional<int> newest = newestListedShell(*shipped);
    // The Shell refuses an extension whose metadata does not list its
    // version. The user may tell it to try anyway: the form has run
    // unchanged on every Shell since 45.
    if (newest && *version > *newest) {
        return notice(Kind::untestedShell, *newest, *version);
    }
    return notice(shell.userExtensionsEnabled() ? Kind::logInAgain
                                                : Kind::enableExtensionsAndLogIn);
}

// A newer tesuko may ship a newer extension: the Shell runs it from the next login on.
void keepCopyCurrent(const GnomeShell& shell, SystemLog& systemLog, FileSystem& files) {
    const std::optional<int> version = shell.majorVersion();
    const std::optional<std::filesystem::path> shipped =
        version ? shippedExtension(*version) : std::nullopt;
    const std::optional<std::filesystem::path> folder = userExtensionFolder();
    if (shipped && folder && copyExtension(files, *shipped, *folder).changed) {
        systemLog.info("Updated tesuko's GNOME Shell extension for the next login");
    }
}

}  // namespace

std::optional<DesktopNotice> setUpExtension(const GnomeShell& shell, SystemLog& systemLog,
                                            FileSystem& files) {
    const std::optional<ExtensionInfo> info = shell.extensionInfo(kExtensionUuid);
    if (!info) {
        systemLog.warning("GNOME Shell does not tell whether tesuko's extension runs");
        return std::nullopt;
    }
    switch (info->state) {
        case ExtensionState::enabled:
        case ExtensionState::enabling:
            if (info->perUser) {
                keepCopyCurrent(shell, systemLog, files);
            }
            return std::nullopt;
        case ExtensionState::disabled:
        case ExtensionState::initialized:
        case ExtensionState::disabling:
            if (!shell.userExtensionsEnabled()) {
                return notice(Kind::extensionsTurnedOff);
            }
            if (!shell.enableExtension(kExtensionUuid)) {
                return notice(Kind::extensionDisabled);
            }
            systemLog.info("Enabled tesuko's GNOME Shell extension");
            return std::nullopt;
        default:
            return install(shell, *info, systemLog, files);
    }
}

}  // namespace tesuko
